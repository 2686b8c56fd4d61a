// The file operations of a transfer: a copy that never overwrites and is flushed to storage,
// the size and block comparison that verify it from storage, same-file detection, delete and
// the move to the desktop Trash.
// They sit behind one interface so that tests can inject faults (a full disk in the middle of
// a copy, bytes that differ, a delete that fails) into the very code paths the program runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/progress.h"

namespace sortelia::fs {

// Reading a file for the comparison failed; what() names the path, code() holds errno.
class FileReadError : public std::system_error {
 public:
  FileReadError(int err, const std::string& path)
      : std::system_error(err, std::generic_category(), path), path_(path) {}
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Size of one block of the comparison, in bytes.
inline constexpr std::size_t kCompareBlock = 2048;

class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // Copies from to a new file to: fails with EEXIST rather than touch an existing path
  // (O_CREAT|O_EXCL), flushes the data and the folder entry (fsync) and drops the copy from
  // the page cache so that a following read comes from storage. A failed copy removes the
  // partial file it created; error is the errno of the failing call. progress (may be null)
  // hears the share of the source's bytes written so far.
  virtual FileResult copyNoOverwrite(const std::string& from, const std::string& to,
                                     ProgressReporter* progress = nullptr);

  // Size of a file in bytes; 0 when it cannot be opened.
  virtual std::int64_t fileSize(const std::string& path);

  // True when both files hold the same bytes, compared in 2048-byte blocks up to the first
  // differing block; the second file is read from storage, not from the page cache.
  // Throws FileReadError when either file cannot be opened or read. progress (may be null)
  // hears the share of a's bytes compared so far.
  virtual bool sameContent(const std::string& a, const std::string& b,
                           ProgressReporter* progress = nullptr);

  // Deletes a file (a symbolic link itself, never its target). A regular file without any
  // write permission counts as protected and is refused with EACCES, as a read-only file is.
  virtual FileResult removeFile(const std::string& path);

  // Moves a file to the desktop Trash through GIO (g_file_trash), as the freedesktop Trash
  // layout has it: the home trash ($XDG_DATA_HOME/Trash) for files on its file system, a
  // mount's own ".Trash-UID" elsewhere, the portal inside a sandbox. Each file lands in
  // Trash/files with Trash/info/NAME.trashinfo naming its original path, so that the desktop
  // can put it back; a name already in the Trash gets a new one there. A symbolic link goes
  // itself, never its target. A protected regular file is refused with EACCES, as removeFile
  // refuses it. Errors: ENOTSUP when that file system has no Trash, ENOENT when the file is
  // gone, EACCES when permission is denied, EIO for any other refusal.
  virtual FileResult moveToTrash(const std::string& path);

  // True when anything exists at path (a dangling symbolic link counts).
  virtual bool exists(const std::string& path);

  // True when a and b name one file (same device and inode, links followed): hard links,
  // symbolic links and names that a case-folding file system takes as one.
  virtual bool sameFile(const std::string& a, const std::string& b);

  // True when the file a and the folder b lie on one file system (same device), so that a
  // rename can move a into b; false when either cannot be looked at.
  virtual bool sameFileSystem(const std::string& a, const std::string& b);

  // True when path is a regular file that removeFile would refuse as protected.
  virtual bool isProtected(const std::string& path);

  // Renames from to to, replacing to; the folder entry is flushed afterwards.
  virtual FileResult renameReplace(const std::string& from, const std::string& to);

  // Renames from to to unless something exists at to: renameat2 with RENAME_NOREPLACE, or,
  // where the file system does not support that, a hard link to the new name and the removal
  // of the old one (see renameNoReplaceByLink). Never replaces an existing file, also when one
  // appears meanwhile: EEXIST then, and both files stay as they were. The folder entry is
  // flushed afterwards.
  virtual FileResult renameNoReplace(const std::string& from, const std::string& to);

  // The link-and-unlink way of renameNoReplace on its own. When the old name cannot be removed
  // the new link is taken back, leaving the file as it was.
  FileResult renameNoReplaceByLink(const std::string& from, const std::string& to);

 protected:
  // The renameat2(RENAME_NOREPLACE) call of renameNoReplace: 0, or -1 with errno set. Tests
  // override it to answer as a file system without the flag does (EINVAL).
  virtual int renameAt2NoReplace(const std::string& from, const std::string& to);

  // One write(2) of the copy; tests override it to fail part-way (ENOSPC, EIO).
  virtual long writeSome(int fd, const char* data, std::size_t size);
};

// A copy in progress is written under a hidden name beside its destination,
// ".sortelia-NAME.N.part", and takes its name once verified; one left behind was cut short
// (the program was stopped) and is removed at the next start.
inline constexpr const char* kCopyTemporaryPrefix = ".sortelia-";
inline constexpr const char* kCopyTemporarySuffix = ".part";
// A free such name for destination (NAME cut short where the whole name would be longer than
// a folder takes), none of taken (the names already given to other files of one step, which
// may not exist yet); nullopt when the first hundred are taken.
std::optional<std::string> freeTemporaryName(FileOperations& files, const std::string& destination,
                                             const std::vector<std::string>& taken = {});
// True for a file name of that form.
bool isCopyTemporary(const std::string& fileName);
// Removes the regular files of that form directly in folder; the number removed.
int removeCopyTemporaries(const std::string& folder);

}  // namespace sortelia::fs
