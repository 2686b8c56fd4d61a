// File operations with faults switched on by the test: a write that fails part-way through a
// copy (disk full), a copy whose bytes differ or whose size differs, a delete that fails, a
// comparison that cannot read, a name taken just before a rename, a Trash that refuses a file or
// a file system without one. Everything not switched on runs the real operation, except the move
// to the Trash: that goes into a folder the test gives (the real desktop Trash is tested by the
// Trash tests, in processes with a home Trash of their own).
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/safe_copy.h"

namespace sortelia::testing {

// Thrown by a write of FaultyFileOperations::stopAfter: the program ends at that moment.
struct ProgramStopped {};

class FaultyFileOperations : public fs::FileOperations {
 public:
  // Copies fail with writeErrno once this many bytes of one copy have been written.
  long failWriteAfter = -1;
  int writeErrno = ENOSPC;
  // A write past this many bytes of one copy throws ProgramStopped, leaving what was written
  // where it is, as the program ending there (a power cut, a kill) would (-1: off). Like the
  // faults below, it hits only the copy faultOnCopy names.
  long stopAfter = -1;
  // After a successful copy, flip the byte at this offset of the copy (-1: off).
  long corruptAt = -1;
  // After a successful copy, cut the copy to this many bytes (-1: off).
  long truncateTo = -1;
  // removeFile fails with EPERM for these paths.
  std::set<std::string> undeletable;
  // sameContent throws as if the storage failed (EIO).
  bool readFails = false;
  // The copy faults above (and readFails) hit only the copy (comparison) of this number,
  // counted from 1 by copies (compares); 0: every one.
  int faultOnCopy = 0;

  // The copy of this number (from 1; 0: none) is cut to 10 bytes, whatever faultOnCopy says.
  int cutCopy = 0;

  // sameFileSystem answers false, as for a destination on another disk, so that a move copies.
  bool otherFileSystem = false;

  // Runs at the start of each copy with its number (from 1), on the thread that copies: a test
  // of the transfer queue holds the queue's worker there.
  std::function<void(int copy)> beforeCopy;

  // Runs just before each renameNoReplace, as another program taking a name between the
  // look and the rename would.
  std::function<void(const std::string& from, const std::string& to)> beforeRename;

  // The folder moveToTrash moves files into, standing for the desktop Trash; a name taken there
  // gets a number in front. A test that reaches the Trash with neither this nor realTrash set
  // fails.
  std::string trashFolder;
  // moveToTrash goes to the real desktop Trash: only in the Trash tests, whose process has a
  // home Trash of its own.
  bool realTrash = false;
  // moveToTrash refuses every file with ENOTSUP, as on a file system without a Trash.
  bool noTrash = false;
  // moveToTrash refuses these paths with the given errno.
  std::map<std::string, int> trashRefusals;

  std::set<std::string> removed;     // every path removeFile was asked to delete
  std::vector<std::string> trashed;  // every path moveToTrash took, in order
  int copies = 0;
  int compares = 0;

  fs::FileResult copyNoOverwrite(const std::string& from, const std::string& to,
                                 ProgressReporter* progress = nullptr) override {
    ++copies;
    if (beforeCopy) beforeCopy(copies);
    written_ = 0;
    faulty_ = faultOnCopy == 0 || faultOnCopy == copies;
    fs::FileResult r = FileOperations::copyNoOverwrite(from, to, progress);
    if (r.ok() && cutCopy == copies && ::truncate(to.c_str(), 10) != 0)
      return fs::FileResult::failure(errno, to);
    if (!r.ok() || !faulty_) return r;
    if (corruptAt >= 0) flipByte(to, corruptAt);
    if (truncateTo >= 0 && ::truncate(to.c_str(), truncateTo) != 0)
      return fs::FileResult::failure(errno, to);
    return r;
  }

  bool sameContent(const std::string& a, const std::string& b,
                   ProgressReporter* progress = nullptr) override {
    ++compares;
    if (readFails && (faultOnCopy == 0 || faultOnCopy == compares)) {
      throw fs::FileReadError(EIO, b);
    }
    return FileOperations::sameContent(a, b, progress);
  }

  bool sameFileSystem(const std::string& a, const std::string& b) override {
    return !otherFileSystem && FileOperations::sameFileSystem(a, b);
  }

  fs::FileResult renameNoReplace(const std::string& from, const std::string& to) override {
    if (beforeRename) beforeRename(from, to);
    return FileOperations::renameNoReplace(from, to);
  }

  fs::FileResult removeFile(const std::string& path) override {
    removed.insert(path);
    if (undeletable.count(path)) return fs::FileResult::failure(EPERM, path);
    return FileOperations::removeFile(path);
  }

  // As the real one refuses: a protected file with EACCES, a missing one with ENOENT.
  fs::FileResult moveToTrash(const std::string& path) override {
    if (noTrash) return fs::FileResult::failure(ENOTSUP, path);
    if (const auto it = trashRefusals.find(path); it != trashRefusals.end()) {
      return fs::FileResult::failure(it->second, path);
    }
    if (realTrash) {
      const fs::FileResult r = FileOperations::moveToTrash(path);
      if (r.ok()) trashed.push_back(path);
      return r;
    }
    if (trashFolder.empty()) {
      ADD_FAILURE() << "moveToTrash(" << path << ") without a trashFolder";
      return fs::FileResult::failure(EIO, path);
    }
    if (isProtected(path)) return fs::FileResult::failure(EACCES, path);
    if (!fs::exists(path)) return fs::FileResult::failure(ENOENT, path);
    std::string to = trashFolder + "/" + fs::fileNameOf(path);
    for (int n = 2; fs::exists(to); ++n) {
      to = trashFolder + "/" + std::to_string(n) + "_" + fs::fileNameOf(path);
    }
    if (::rename(path.c_str(), to.c_str()) != 0) return fs::FileResult::failure(errno, path);
    trashed.push_back(path);
    return fs::FileResult::success();
  }

 protected:
  long writeSome(int fd, const char* data, std::size_t size) override {
    if (stopAfter >= 0 && faulty_) {
      if (written_ >= stopAfter) throw ProgramStopped{};
      size = std::min(size, static_cast<std::size_t>(stopAfter - written_));
    }
    if (failWriteAfter >= 0 && faulty_) {
      const long room = failWriteAfter - written_;
      if (room <= 0) {
        errno = writeErrno;
        return -1;
      }
      if (static_cast<long>(size) > room) size = static_cast<std::size_t>(room);
    }
    const long n = FileOperations::writeSome(fd, data, size);
    if (n > 0) written_ += n;
    return n;
  }

 private:
  static void flipByte(const std::string& path, long offset) {
    const int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0) return;
    unsigned char c = 0;
    if (::pread(fd, &c, 1, offset) == 1) {
      c ^= 0xFF;
      (void)!::pwrite(fd, &c, 1, offset);
    }
    ::close(fd);
  }

  long written_ = 0;
  bool faulty_ = true;
};

}  // namespace sortelia::testing
