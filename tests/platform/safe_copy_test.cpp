#include "platform/safe_copy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "support/faulty_file_ops.h"
#include "support/temp_dir.h"

namespace sortelia::fs {
namespace {

using testing::FaultyFileOperations;
using testing::readAll;
using testing::TempDir;

// Bytes 0..size-1 of a repeating, position-dependent pattern.
std::string pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return s;
}

TEST(SafeCopy, CopiesEveryByteAndKeepsTheSource) {
  TempDir d;
  FileOperations ops;
  // 17 MB: the copy hands its bytes to the disk in 8 MB pieces as it goes, and a last part.
  for (std::size_t size : {0ul, 1ul, 2047ul, 2048ul, 2049ul, 3000000ul, 17000000ul}) {
    const std::string bytes = pattern(size);
    const std::string from = d.write("a" + std::to_string(size), bytes);
    const std::string to = d.file("b" + std::to_string(size));
    ASSERT_TRUE(ops.copyNoOverwrite(from, to).ok()) << size;
    EXPECT_EQ(readAll(to), bytes);
    EXPECT_EQ(readAll(from), bytes);
    EXPECT_TRUE(ops.sameContent(from, to));
  }
  // The modification time travels with the picture.
  const std::string old = d.write("old.jpg", "x");
  const struct timespec times[2] = {{1000000000, 5}, {1100000000, 123456789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, old.c_str(), times, 0), 0);
  ASSERT_TRUE(ops.copyNoOverwrite(old, d.file("new.jpg")).ok());
  struct stat st {};
  ASSERT_EQ(::stat(d.file("new.jpg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
}

// Pages of a file that are in the page cache now.
std::size_t residentPages(const std::string& path, std::size_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return 0;
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> in((size + page - 1) / page);
  std::size_t n = 0;
  if (::mincore(map, size, in.data()) == 0) {
    for (unsigned char c : in) n += c & 1;
  }
  ::munmap(map, size);
  return n;
}

TEST(SafeCopy, TheFlushedCopyLeavesThePageCache) {
  TempDir d;
  struct statfs sf {};
  ASSERT_EQ(::statfs(d.path().c_str(), &sf), 0);
  if (sf.f_type == 0x01021994) GTEST_SKIP() << "on tmpfs the page cache is the storage";
  FileOperations ops;
  // 20 MB: also the pieces handed to the disk while the copy went on.
  for (const std::size_t size : {std::size_t{4} << 20, std::size_t{20} << 20}) {
    const std::string from = d.write("a" + std::to_string(size), pattern(size));
    const std::string to = d.file("b" + std::to_string(size));
    ASSERT_TRUE(ops.copyNoOverwrite(from, to).ok());
    // So the comparison that follows reads the copy back from the disk.
    EXPECT_LT(residentPages(to, size), 16u) << size;
    EXPECT_TRUE(ops.sameContent(from, to));
  }
}

TEST(SafeCopy, NeverOverwritesAndReportsErrno) {
  TempDir d;
  FileOperations ops;
  const std::string from = d.write("a.jpg", "new");
  const std::string to = d.write("b.jpg", "old");
  FileResult r = ops.copyNoOverwrite(from, to);
  EXPECT_EQ(r.error, EEXIST);
  EXPECT_EQ(readAll(to), "old");
  // A dangling symbolic link is not followed to create its target.
  ASSERT_EQ(::symlink(d.file("target").c_str(), d.file("link.jpg").c_str()), 0);
  EXPECT_EQ(ops.copyNoOverwrite(from, d.file("link.jpg")).error, EEXIST);
  EXPECT_FALSE(exists(d.file("target")));
  EXPECT_EQ(ops.copyNoOverwrite(from, d.file("gone/b.jpg")).error, ENOENT);
  EXPECT_EQ(ops.copyNoOverwrite(d.file("missing.jpg"), d.file("c.jpg")).error, ENOENT);
  EXPECT_FALSE(exists(d.file("c.jpg")));
}

TEST(SafeCopy, FullDiskMidCopyRemovesThePartialFile) {
  TempDir d;
  FaultyFileOperations ops;
  // The second: after a first piece of the copy was handed to the disk.
  for (const long size : {3000000L, 12000000L}) {
    SCOPED_TRACE(size);
    ops.failWriteAfter = size / 4 * 3;
    const std::string from = d.write("a" + std::to_string(size), pattern(size));
    const std::string to = d.file("b" + std::to_string(size));
    FileResult r = ops.copyNoOverwrite(from, to);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(r.path, to);
    EXPECT_FALSE(exists(to));
    EXPECT_EQ(readAll(from), pattern(size));
  }
}

TEST(SafeCopy, ComparisonFindsADifferenceInAnyBlock) {
  TempDir d;
  FileOperations ops;
  const std::string bytes = pattern(200000);
  const std::string a = d.write("a", bytes);
  for (std::size_t at : {0ul, 2047ul, 2048ul, 131071ul, 131072ul, 199999ul}) {
    std::string other = bytes;
    other[at] = static_cast<char>(other[at] ^ 1);
    const std::string b = d.write("b" + std::to_string(at), other);
    EXPECT_FALSE(ops.sameContent(a, b)) << at;
  }
  EXPECT_FALSE(ops.sameContent(a, d.write("short", bytes.substr(0, 199999))));
  EXPECT_TRUE(ops.sameContent(d.write("e1", ""), d.write("e2", "")));
  EXPECT_THROW(ops.sameContent(a, d.file("none")), FileReadError);
}

// The copy and the comparison report the share of bytes done, rising, the copy up to 100.
TEST(SafeCopy, CopyAndComparisonReportTheirBytes) {
  TempDir d;
  FileOperations ops;
  const std::size_t size = 3 * 1024 * 1024 + 5;  // four copy buffers, 25 comparison reads
  const std::string from = d.write("a", pattern(size));
  std::int64_t now = 0;
  std::vector<int> copied, compared;
  ProgressReporter copyProgress{[&](int p) { copied.push_back(p); }, [&] { return now += 60; }};
  ASSERT_TRUE(ops.copyNoOverwrite(from, d.file("b"), &copyProgress).ok());
  EXPECT_EQ(copied, (std::vector<int>{33, 66, 99, 100}));
  ProgressReporter compareProgress{[&](int p) { compared.push_back(p); },
                                   [&] { return now += 60; }};
  EXPECT_TRUE(ops.sameContent(from, d.file("b"), &compareProgress));
  ASSERT_EQ(compared.size(), size / (64 * kCompareBlock));  // the short last read returns
  EXPECT_TRUE(std::is_sorted(compared.begin(), compared.end()));
  EXPECT_EQ(compared.front(), 4);
  EXPECT_GE(compared.back(), 99);
}

TEST(SafeCopy, SameFileThroughLinksButNotForEqualBytes) {
  TempDir d;
  FileOperations ops;
  const std::string a = d.write("IMG_1.JPG", "x");
  ASSERT_EQ(::link(a.c_str(), d.file("img_1.jpg").c_str()), 0);
  ASSERT_EQ(::symlink(a.c_str(), d.file("sym.jpg").c_str()), 0);
  EXPECT_TRUE(ops.sameFile(a, d.file("img_1.jpg")));
  EXPECT_TRUE(ops.sameFile(a, d.file("sym.jpg")));
  EXPECT_FALSE(ops.sameFile(a, d.write("copy.jpg", "x")));
  EXPECT_FALSE(ops.sameFile(a, d.file("none.jpg")));
}

TEST(SafeCopy, RemoveRefusesProtectedFilesAndRemovesLinksOnly) {
  TempDir d;
  FileOperations ops;
  const std::string ro = d.write("ro.jpg", "x");
  ASSERT_EQ(::chmod(ro.c_str(), 0444), 0);
  EXPECT_TRUE(ops.isProtected(ro));
  EXPECT_EQ(ops.removeFile(ro).error, EACCES);
  EXPECT_TRUE(exists(ro));
  const std::string target = d.write("t.jpg", "keep");
  ASSERT_EQ(::symlink(target.c_str(), d.file("l.jpg").c_str()), 0);
  EXPECT_TRUE(ops.removeFile(d.file("l.jpg")).ok());
  EXPECT_EQ(readAll(target), "keep");
  EXPECT_EQ(ops.removeFile(d.file("none.jpg")).error, ENOENT);
  EXPECT_NE(ops.removeFile(d.mkdir("dir")).error, 0);
}

// File operations whose renameat2 answers as a file system without RENAME_NOREPLACE does, so
// renameNoReplace takes its link-and-unlink way.
class NoFlagFileOperations : public FileOperations {
 public:
  int flagCalls = 0;

 protected:
  int renameAt2NoReplace(const std::string&, const std::string&) override {
    ++flagCalls;
    errno = EINVAL;
    return -1;
  }
};

TEST(SafeCopy, RenameNoReplaceNeverReplacesWithOrWithoutTheFlag) {
  FileOperations withFlag;
  NoFlagFileOperations withoutFlag;
  for (FileOperations* ops : {&withFlag, static_cast<FileOperations*>(&withoutFlag)}) {
    SCOPED_TRACE(ops == &withFlag ? "renameat2" : "link and unlink");
    TempDir d;
    const std::string from = d.write("from.jpg", "moving");
    const std::string to = d.write("to.jpg", "staying");
    EXPECT_EQ(ops->renameNoReplace(from, to).error, EEXIST);
    EXPECT_EQ(readAll(from), "moving");
    EXPECT_EQ(readAll(to), "staying");
    // A dangling symbolic link holds its name too.
    ASSERT_EQ(::symlink(d.file("nowhere").c_str(), d.file("link.jpg").c_str()), 0);
    EXPECT_EQ(ops->renameNoReplace(from, d.file("link.jpg")).error, EEXIST);
    EXPECT_FALSE(exists(d.file("nowhere")));
    EXPECT_EQ(ops->renameNoReplace(d.file("missing.jpg"), d.file("new.jpg")).error, ENOENT);
    const FileResult moved = ops->renameNoReplace(from, d.file("free.jpg"));
    EXPECT_TRUE(moved.ok()) << moved.error;
    EXPECT_EQ(readAll(d.file("free.jpg")), "moving");
    EXPECT_FALSE(exists(from));
  }
  EXPECT_EQ(withoutFlag.flagCalls, 4);
}

TEST(SafeCopy, RenameNoReplaceAcrossFileSystemsLeavesTheFile) {
  TempDir d;
  const std::string from = d.write("from.jpg", "moving");
  struct stat here {
  }, there{};
  if (::stat(d.path().c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
      here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  const std::string to = "/dev/shm/sortelia-rename-" + std::to_string(::getpid()) + ".jpg";
  FileOperations withFlag;
  NoFlagFileOperations withoutFlag;
  for (FileOperations* ops : {&withFlag, static_cast<FileOperations*>(&withoutFlag)}) {
    EXPECT_EQ(ops->renameNoReplace(from, to).error, EXDEV);
    EXPECT_EQ(readAll(from), "moving");
    EXPECT_FALSE(exists(to));
  }
}

TEST(SafeCopy, PathParts) {
  EXPECT_EQ(folderOf("/a/b/c.jpg"), "/a/b");
  EXPECT_EQ(folderOf("/c.jpg"), "/");
  EXPECT_EQ(folderOf("c.jpg"), ".");
  EXPECT_EQ(fileNameOf("/a/b/c.jpg"), "c.jpg");
  EXPECT_EQ(fileNameOf("c.jpg"), "c.jpg");
}

}  // namespace
}  // namespace sortelia::fs
