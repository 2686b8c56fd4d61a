// FileOperations::moveToTrash against a real home Trash: this program's main points
// XDG_DATA_HOME at a temporary folder before GLib reads it (tests/trash_test_main.cpp).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/safe_copy.h"
#include "support/home_trash.h"
#include "support/temp_dir.h"

namespace sortelia::fs {
namespace {

using testing::readAll;
using testing::TempDir;
using testing::TrashedFile;
using testing::trashedFiles;

class HomeTrash : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::homeTrashIsTemporary()) << testing::homeTrash();
    testing::emptyHomeTrash();
  }
  void TearDown() override { testing::emptyHomeTrash(); }

  TempDir d;
  FileOperations ops;
};

TEST_F(HomeTrash, EachFileLandsInTheTrashWithItsOriginalPath) {
  // Plain names, names the .trashinfo has to escape, a hidden file, a file in a subfolder.
  const std::vector<std::string> names = {"IMG_0001.JPG", "写真 1.jpg", "a%b#c&d.CR3",
                                          ".hidden.xmp", "sub folder/IMG_0002.JPG.xmp"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    testing::emptyHomeTrash();
    const std::string path = d.write(name, "bytes of " + name);
    ASSERT_TRUE(ops.moveToTrash(path).ok());
    EXPECT_FALSE(fs::exists(path));
    const std::vector<TrashedFile> trash = trashedFiles();
    ASSERT_EQ(trash.size(), 1u);
    EXPECT_EQ(trash[0].name, std::filesystem::path(path).filename().string());
    EXPECT_EQ(readAll(trash[0].path), "bytes of " + name);
    EXPECT_TRUE(trash[0].hasHeader);
    EXPECT_TRUE(trash[0].hasDeletionDate);
    EXPECT_EQ(trash[0].infoPath, testing::trashInfoEscape(path));
    EXPECT_EQ(trash[0].originalPath, path);
  }
}

TEST_F(HomeTrash, ANameAlreadyInTheTrashGetsANewOneAndEachStaysRestorable) {
  const std::string first = d.write("one/IMG_0001.JPG", "first");
  const std::string second = d.write("two/IMG_0001.JPG", "second");
  ASSERT_TRUE(ops.moveToTrash(first).ok());
  ASSERT_TRUE(ops.moveToTrash(second).ok());
  const std::vector<TrashedFile> trash = trashedFiles();
  ASSERT_EQ(trash.size(), 2u);
  EXPECT_NE(trash[0].name, trash[1].name);
  // Putting each back where its .trashinfo says, as the desktop's restore does, gives back
  // both pictures under their own paths.
  for (const TrashedFile& f : trash) {
    ASSERT_TRUE(f.originalPath == first || f.originalPath == second) << f.originalPath;
    ASSERT_EQ(::rename(f.path.c_str(), f.originalPath.c_str()), 0) << f.originalPath;
  }
  EXPECT_EQ(readAll(first), "first");
  EXPECT_EQ(readAll(second), "second");
}

TEST_F(HomeTrash, ASymbolicLinkGoesItselfAndItsTargetStays) {
  const std::string target = d.write("IMG_0001.JPG", "the picture");
  const std::string link = d.file("link.JPG");
  const std::string dangling = d.file("dangling.JPG");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  ASSERT_EQ(::symlink(d.file("gone.JPG").c_str(), dangling.c_str()), 0);
  ASSERT_TRUE(ops.moveToTrash(link).ok());
  ASSERT_TRUE(ops.moveToTrash(dangling).ok());
  EXPECT_FALSE(fs::exists(link));
  EXPECT_FALSE(fs::exists(dangling));
  EXPECT_EQ(readAll(target), "the picture");
  const std::vector<TrashedFile> trash = trashedFiles();
  ASSERT_EQ(trash.size(), 2u);
  for (const TrashedFile& f : trash) {
    struct stat st {};
    ASSERT_EQ(::lstat(f.path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << f.name;
    EXPECT_TRUE(f.originalPath == link || f.originalPath == dangling) << f.originalPath;
  }
}

TEST_F(HomeTrash, RefusedFilesStayWhereTheyAre) {
  struct Case {
    const char* what;
    std::string path;
    int error;
  };
  const std::string protectedFile = d.write("protected.JPG", "kept");
  ASSERT_EQ(::chmod(protectedFile.c_str(), 0444), 0);
  const std::vector<Case> cases = {
      {"a protected file, as removeFile refuses it", protectedFile, EACCES},
      {"a file that is gone", d.file("missing.JPG"), ENOENT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FileResult r = ops.moveToTrash(c.path);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.path, c.path);
  }
  EXPECT_EQ(readAll(protectedFile), "kept");
  EXPECT_TRUE(trashedFiles().empty());
}

// /dev/shm is a memory file system that GIO gives no Trash; a file there is refused with
// ENOTSUP and stays.
TEST_F(HomeTrash, AFileSystemWithoutATrashAnswersNotSupported) {
  struct stat shm {
  }, temp{};
  if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 ||
      ::stat(d.path().c_str(), &temp) != 0 || shm.st_dev == temp.st_dev) {
    GTEST_SKIP() << "no writable /dev/shm on a file system of its own";
  }
  std::string name = "/dev/shm/sortelia-trash-XXXXXX";
  const int fd = ::mkstemp(name.data());
  ASSERT_GE(fd, 0);
  ::close(fd);
  const FileResult r = ops.moveToTrash(name);
  const bool stayed = fs::exists(name);
  ::unlink(name.c_str());
  EXPECT_EQ(r.error, ENOTSUP);
  EXPECT_TRUE(stayed);
  EXPECT_TRUE(trashedFiles().empty());
}

}  // namespace
}  // namespace sortelia::fs
