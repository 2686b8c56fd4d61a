// File operations with results that carry errno and the path.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sortelia::fs {

// Outcome of a file operation: ok, or the errno of the failing call and the path it named.
struct [[nodiscard]] FileResult {
  int error = 0;  // errno; 0 on success
  std::string path;
  bool ok() const { return error == 0; }
  static FileResult success() { return {}; }
  static FileResult failure(int err, std::string p) { return {err == 0 ? -1 : err, std::move(p)}; }
};

// Reads at most maxBytes of a file (the rest is ignored); nullopt when it cannot be read.
std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes);

// What a file was at one moment: its identity, size and modification time.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t mtimeSeconds = 0;
  std::int64_t mtimeNanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file path names (links followed); nullopt when it cannot be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

// What an atomic replace does with an existing file that may not be written. The rename that
// replaces a file ignores the file's own permission, so the check is made beforehand.
enum class ReadOnlyFile {
  Refuse,   // the person's files: a file without write permission is kept, with EACCES
  Replace,  // the program's own files (settings, camera parameters, default templates)
};

// Replaces path with bytes atomically: a temporary file in the same folder is written,
// flushed with fsync and renamed over path. On failure the old file is untouched. An existing
// file that replaceDenied refuses is left alone unless readOnly is Replace. A symbolic link at
// path stays: the file it names is replaced. The new file keeps the owner (as far as the
// writer may give it) and the mode of the file it replaces. Given the stamp of the file as it
// was read (bytes made from its contents), the file is replaced only while it still is that
// file: one changed, replaced or gone meanwhile is left as it is, with ESTALE.
FileResult writeFileAtomic(const std::string& path, std::string_view bytes,
                           ReadOnlyFile readOnly = ReadOnlyFile::Refuse,
                           const FileStamp* unchanged = nullptr);

// True for the name of the temporary file writeFileAtomic writes before its rename
// (".sortelia-" and eight hexadecimal digits, ".tmp").
bool isReplaceTemporary(const std::string& fileName);
// Removes the temporaries of atomic replaces that were stopped before their rename (the file
// they were to replace is whole) directly in folder, those older than a minute only, so that a
// replace running in another process meanwhile is left alone; the number removed.
int removeReplaceTemporaries(const std::string& folder);
// Removes the regular files directly in folder whose names `named` accepts and that were last
// changed at least minAgeSeconds ago; the number removed.
int removeRegularFilesNamed(const std::string& folder,
                            const std::function<bool(const std::string& fileName)>& named,
                            int minAgeSeconds = 0);

// 0 when nothing exists at path or the user may write the file there (writeDenied), else the
// errno of the refusal: what a write that replaces or truncates a person's file checks first.
int replaceDenied(const std::string& path);

// Size of a file in bytes; 0 when it cannot be opened.
std::int64_t getFileSize(const std::string& path);

// 0 when path is a regular file that can be opened for reading, else the errno of the failure
// (EISDIR for a directory, EINVAL for another kind of file).
int readError(const std::string& path);

// 0 when the user may write the file at path, else EACCES (or the errno of access): the
// access check fails, or the file has no write permission bit at all, which holds even for
// root, whom the access check lets through.
int writeDenied(const std::string& path);

// True when path names an existing directory (symbolic links followed).
bool isDirectory(const std::string& path);

// True when path names an existing regular file (symbolic links followed).
bool isRegularFile(const std::string& path);

// What a path names, symbolic links followed.
enum class FileKind { Regular, Directory, Fifo, Device, Socket, Other };

// Sets kind to what path names and returns 0, or returns the errno of the failing look-up
// (ENOENT for nothing there or a dangling link, EACCES for a folder that cannot be searched).
int fileKind(const std::string& path, FileKind& kind);

// True when anything exists at path (a dangling symbolic link counts).
bool exists(const std::string& path);

// Creates a directory and its missing parents; ok when it already exists.
FileResult makeDirectories(const std::string& path);

}  // namespace sortelia::fs
