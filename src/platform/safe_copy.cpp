#include "platform/safe_copy.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/unique_fd.h"

namespace sortelia::fs {
namespace {

// Size of the buffer the copy moves data through.
constexpr std::size_t kCopyBuffer = 1 << 20;
// The copy hands its written bytes to the disk in pieces of this size as it goes, so that the
// flush at its end waits for the last piece only and the disk writes while the next bytes are
// read.
constexpr off_t kWritebackPiece = 8 << 20;
// Size of the reads of the comparison; a whole number of comparison blocks.
constexpr std::size_t kCompareRead = 64 * kCompareBlock;

// Reads up to size bytes (fewer only at the end of the file); -1 with errno on error.
long readFull(int fd, char* buf, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, buf + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
}

// Reports done of total bytes as a percentage (1..100) through the throttle.
void reportBytes(std::int64_t done, std::int64_t total, ProgressReporter* progress) {
  if (!progress || total <= 0) return;
  ReportProgress(static_cast<int>(std::clamp<std::int64_t>(done * 100 / total, 1, 100)), progress);
}

// Flushes the folder that holds path, so that a new or renamed entry survives a crash.
void syncFolderOf(const std::string& path) {
  UniqueFd dir(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

// The errno a refusal of g_file_trash stands for.
int errnoOfTrashError(const GError* error) {
  if (!error || error->domain != G_IO_ERROR) return EIO;
  switch (error->code) {
    case G_IO_ERROR_NOT_SUPPORTED:
      return ENOTSUP;
    case G_IO_ERROR_NOT_FOUND:
      return ENOENT;
    case G_IO_ERROR_PERMISSION_DENIED:
      return EACCES;
    default:
      return EIO;
  }
}

}  // namespace

long FileOperations::writeSome(int fd, const char* data, std::size_t size) {
  return static_cast<long>(::write(fd, data, size));
}

FileResult FileOperations::copyNoOverwrite(const std::string& from, const std::string& to,
                                           ProgressReporter* progress) {
  UniqueFd in(openForReading(from));
  if (in.get() < 0) return FileResult::failure(errno, from);
  struct stat st {};
  if (::fstat(in.get(), &st) != 0) return FileResult::failure(errno, from);
  if (!S_ISREG(st.st_mode)) return FileResult::failure(EINVAL, from);
  ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (out.get() < 0) return FileResult::failure(errno, to);
  // From here on the file at `to` is ours: any failure removes it again.
  const auto fail = [&](int err, const std::string& path) {
    out.close();
    ::unlink(to.c_str());
    return FileResult::failure(err, path);
  };
  std::vector<char> buf(kCopyBuffer);
  std::int64_t copied = 0;
  off_t handedToDisk = 0;
  ReportProgress(0, progress);
  for (;;) {
    const long n = readFull(in.get(), buf.data(), buf.size());
    if (n < 0) return fail(errno, from);
    if (n == 0) break;
    std::size_t done = 0;
    while (done < static_cast<std::size_t>(n)) {
      const long w = writeSome(out.get(), buf.data() + done, static_cast<std::size_t>(n) - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return fail(w < 0 ? errno : EIO, to);
      done += static_cast<std::size_t>(w);
    }
    copied += n;
    if (copied - handedToDisk >= kWritebackPiece) {
      // Starts the writing of these bytes without waiting for it; the fsync below still waits
      // for every byte and reports any error.
      ::sync_file_range(out.get(), handedToDisk, copied - handedToDisk, SYNC_FILE_RANGE_WRITE);
      handedToDisk = copied;
    }
    reportBytes(copied, st.st_size, progress);
  }
  // The copy keeps the picture's modification time, as a copy on the card's own system does.
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(out.get(), times);
  if (::fsync(out.get()) != 0) return fail(errno, to);
  // The data are on storage now; drop them from the cache so the comparison reads them back.
  ::posix_fadvise(out.get(), 0, 0, POSIX_FADV_DONTNEED);
  if (const int err = out.close(); err != 0) {
    ::unlink(to.c_str());
    return FileResult::failure(err, to);
  }
  syncFolderOf(to);
  return FileResult::success();
}

std::int64_t FileOperations::fileSize(const std::string& path) { return getFileSize(path); }

bool FileOperations::sameContent(const std::string& a, const std::string& b,
                                 ProgressReporter* progress) {
  UniqueFd fa(openForReading(a));
  if (fa.get() < 0) throw FileReadError(errno, a);
  UniqueFd fb(openForReading(b));
  if (fb.get() < 0) throw FileReadError(errno, b);
  // Pages of b that are clean in the cache go, so its bytes come from storage.
  ::posix_fadvise(fb.get(), 0, 0, POSIX_FADV_DONTNEED);
  ::posix_fadvise(fa.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  ::posix_fadvise(fb.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  struct stat sa {};
  const std::int64_t total = ::fstat(fa.get(), &sa) == 0 ? sa.st_size : 0;
  std::int64_t compared = 0;
  ReportProgress(0, progress);
  std::vector<char> ba(kCompareRead), bb(kCompareRead);
  const long block = static_cast<long>(kCompareBlock);
  for (;;) {
    const long na = readFull(fa.get(), ba.data(), ba.size());
    if (na < 0) throw FileReadError(errno, a);
    const long nb = readFull(fb.get(), bb.data(), bb.size());
    if (nb < 0) throw FileReadError(errno, b);
    // The blocks of this read, each holding what a gave and as much of b.
    for (long off = 0; off < static_cast<long>(ba.size()); off += block) {
      const long n = std::clamp(na - off, 0L, block);
      const long m = std::clamp(nb - off, 0L, block);
      if (n != m || std::memcmp(ba.data() + off, bb.data() + off, n) != 0) return false;
      if (n < block) return true;  // the last block of a
    }
    compared += na;
    reportBytes(compared, total, progress);
  }
}

bool FileOperations::isProtected(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

FileResult FileOperations::removeFile(const std::string& path) {
  if (isProtected(path)) return FileResult::failure(EACCES, path);
  if (::unlink(path.c_str()) != 0) return FileResult::failure(errno, path);
  syncFolderOf(path);
  return FileResult::success();
}

FileResult FileOperations::moveToTrash(const std::string& path) {
  if (isProtected(path)) return FileResult::failure(EACCES, path);
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  const gboolean trashed = g_file_trash(file, nullptr, &error);
  g_object_unref(file);
  if (!trashed) {
    const int err = errnoOfTrashError(error);
    if (error) g_error_free(error);
    return FileResult::failure(err, path);
  }
  syncFolderOf(path);
  return FileResult::success();
}

bool FileOperations::exists(const std::string& path) { return fs::exists(path); }

bool FileOperations::sameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool FileOperations::sameFileSystem(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (::lstat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev;
}

FileResult FileOperations::renameReplace(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return FileResult::failure(errno, to);
  syncFolderOf(to);
  return FileResult::success();
}

int FileOperations::renameAt2NoReplace(const std::string& from, const std::string& to) {
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
}

FileResult FileOperations::renameNoReplace(const std::string& from, const std::string& to) {
  if (renameAt2NoReplace(from, to) == 0) {
    syncFolderOf(to);
    return FileResult::success();
  }
  const int err = errno;
  // File systems without the flag answer EINVAL (or ENOSYS/ENOTSUP on old kernels and FUSE).
  if (err == EINVAL || err == ENOSYS || err == ENOTSUP) return renameNoReplaceByLink(from, to);
  return FileResult::failure(err, from);
}

FileResult FileOperations::renameNoReplaceByLink(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) != 0) return FileResult::failure(errno, from);
  if (::unlink(from.c_str()) != 0) {
    const int err = errno;
    ::unlink(to.c_str());
    return FileResult::failure(err, from);
  }
  syncFolderOf(to);
  return FileResult::success();
}

std::optional<std::string> freeTemporaryName(FileOperations& files, const std::string& destination,
                                             const std::vector<std::string>& taken) {
  // The temporary keeps as much of the name as the longest name a folder takes leaves room
  // for beside its prefix, number and suffix, cut where a UTF-8 character begins.
  std::string name = fileNameOf(destination);
  const std::size_t room = NAME_MAX - std::strlen(kCopyTemporaryPrefix) - std::strlen(".100") -
                           std::strlen(kCopyTemporarySuffix);
  if (name.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  const std::string base = folderOf(destination) + "/" + kCopyTemporaryPrefix + name + ".";
  for (int n = 1; n <= 100; ++n) {
    std::string candidate = base + std::to_string(n) + kCopyTemporarySuffix;
    if (std::find(taken.begin(), taken.end(), candidate) == taken.end() &&
        !files.exists(candidate)) {
      return candidate;
    }
  }
  return std::nullopt;
}

bool isCopyTemporary(const std::string& fileName) {
  const std::string prefix = kCopyTemporaryPrefix, suffix = kCopyTemporarySuffix;
  return fileName.size() > prefix.size() + suffix.size() &&
         fileName.compare(0, prefix.size(), prefix) == 0 &&
         fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int removeCopyTemporaries(const std::string& folder) {
  return removeRegularFilesNamed(folder, isCopyTemporary);
}

}  // namespace sortelia::fs
