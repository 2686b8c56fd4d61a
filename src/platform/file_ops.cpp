#include "platform/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "platform/path.h"
#include "platform/unique_fd.h"

namespace sortelia::fs {
namespace {

bool writeAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a symbolic link at path finally names (all links resolved); nullopt when path is
// no link or the link names nothing.
std::optional<std::string> linkTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::nullopt;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return std::nullopt;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

}  // namespace

std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) {
  UniqueFd fd(openForReading(path));
  if (fd.get() < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  std::string out;
  char buf[65536];
  while (out.size() < maxBytes) {
    const std::size_t want = std::min(sizeof buf, maxBytes - out.size());
    ssize_t n = ::read(fd.get(), buf, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::int64_t>(st.st_size),
                   static_cast<std::int64_t>(st.st_mtim.tv_sec),
                   static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

FileResult writeFileAtomic(const std::string& path, std::string_view bytes, ReadOnlyFile readOnly,
                           const FileStamp* unchanged) {
  if (readOnly == ReadOnlyFile::Refuse) {
    if (const int err = replaceDenied(path)) return FileResult::failure(err, path);
  }
  // The rename replaces whatever the name is: through a symbolic link it is the file the
  // link names that gets the new contents, and the link stays. A link that names nothing is
  // replaced as before.
  const std::string target = linkTarget(path).value_or(path);
  const std::string dir = folderOf(target);
  std::random_device rd;
  std::string tmp;
  int fdRaw = -1;
  for (int attempt = 0; attempt < 16 && fdRaw < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", rd());
    tmp = dir + "/.sortelia-" + std::string(suffix + 1);
    fdRaw = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fdRaw < 0 && errno != EEXIST) return FileResult::failure(errno, path);
  }
  if (fdRaw < 0) return FileResult::failure(EEXIST, path);
  UniqueFd fd(fdRaw);
  // Keep the owner and the permissions of the file being replaced (the owner only where the
  // writer may give it: root, or a group the writer belongs to); the change of owner comes
  // first, since it clears the set-user and set-group bits.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd.get(), static_cast<uid_t>(-1), st.st_gid) != 0) {
      // Someone else's file in a folder the writer may write: the replacement is the writer's.
    }
    ::fchmod(fd.get(), st.st_mode & 07777);
  }
  if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    return FileResult::failure(err, path);
  }
  int err = fd.close();
  // The last look before the rename: the file the bytes were made from must still stand there.
  if (err == 0 && unchanged && fileStamp(target) != std::optional<FileStamp>(*unchanged)) {
    err = ESTALE;
  }
  if (err == 0 && ::rename(tmp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(tmp.c_str());
    return FileResult::failure(err, path);
  }
  // Make the rename itself durable.
  UniqueFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dirFd.get() >= 0) ::fsync(dirFd.get());
  return FileResult::success();
}

std::int64_t getFileSize(const std::string& path) {
  UniqueFd fd(openForReading(path));
  if (fd.get() < 0) return 0;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::int64_t>(st.st_size);
}

int readError(const std::string& path) {
  UniqueFd fd(openForReading(path));
  if (fd.get() < 0) return errno;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  char byte;
  while (::pread(fd.get(), &byte, 1, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

int writeDenied(const std::string& path) {
  if (::access(path.c_str(), W_OK) != 0) return errno;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? EACCES : 0;
}

bool isReplaceTemporary(const std::string& fileName) {
  constexpr std::string_view prefix = ".sortelia-", suffix = ".tmp";
  constexpr std::size_t digits = 8;
  if (fileName.size() != prefix.size() + digits + suffix.size() || !fileName.starts_with(prefix) ||
      !fileName.ends_with(suffix)) {
    return false;
  }
  return std::all_of(fileName.begin() + prefix.size(), fileName.end() - suffix.size(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

int removeReplaceTemporaries(const std::string& folder) {
  return removeRegularFilesNamed(folder, isReplaceTemporary, 60);
}

int removeRegularFilesNamed(const std::string& folder,
                            const std::function<bool(const std::string& fileName)>& named,
                            int minAgeSeconds) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  const std::time_t now = std::time(nullptr);
  std::vector<std::string> found;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (!named(name)) continue;
    struct stat st {};
    const std::string path = folder + "/" + name;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        now - st.st_mtim.tv_sec >= minAgeSeconds) {
      found.push_back(path);
    }
  }
  ::closedir(dir);
  int removed = 0;
  for (const std::string& path : found) removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
  return removed;
}

int replaceDenied(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;  // nothing to replace (or a dangling link)
  return writeDenied(path);
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int fileKind(const std::string& path, FileKind& kind) {
  struct stat st {};
  if (path.empty()) return ENOENT;
  if (::stat(path.c_str(), &st) != 0) return errno;
  if (S_ISREG(st.st_mode))
    kind = FileKind::Regular;
  else if (S_ISDIR(st.st_mode))
    kind = FileKind::Directory;
  else if (S_ISFIFO(st.st_mode))
    kind = FileKind::Fifo;
  else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
    kind = FileKind::Device;
  else if (S_ISSOCK(st.st_mode))
    kind = FileKind::Socket;
  else
    kind = FileKind::Other;
  return 0;
}

bool exists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

FileResult makeDirectories(const std::string& path) {
  if (path.empty()) return FileResult::failure(ENOENT, path);
  if (isDirectory(path)) return FileResult::success();
  std::string parent = folderOf(path);
  if (parent != path && parent != "." && parent != "/" && !isDirectory(parent)) {
    FileResult r = makeDirectories(parent);
    if (!r.ok()) return r;
  }
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return FileResult::failure(errno, path);
  return FileResult::success();
}

}  // namespace sortelia::fs
