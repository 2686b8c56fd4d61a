#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/data_folder.h"
#include "platform/file_list.h"
#include "platform/file_ops.h"
#include "platform/instance_lock.h"
#include "platform/line_file.h"
#include "platform/safe_copy.h"
#include "platform/text_codec.h"
#include "platform/unique_fd.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::readAll;
using testing::TempDir;

TEST(ListImageFiles, MatchesExtensionIgnoringCaseOnlyPlainVisibleFiles) {
  TempDir d;
  d.write("a.jpg", "x");
  d.write("B.JPG", "x");
  d.write("c.jpeg", "x");
  d.write("d.png", "x");
  d.write(".hidden.jpg", "x");
  d.write("m.MOV", "x");
  d.write("clip.mpg", "x");
  d.write("e.thm", "x");
  d.mkdir("folder.jpg");
  ASSERT_EQ(::symlink(d.file("a.jpg").c_str(), d.file("link.jpg").c_str()), 0);
  ASSERT_EQ(::mkfifo(d.file("pipe.jpg").c_str(), 0600), 0);

  std::vector<std::string> list;
  const std::string folder = d.path() + "/";
  EXPECT_EQ(listImageFiles(folder, {".jpg"}, list), 2);
  EXPECT_EQ(listImageFiles(folder, {".mov", ".mpg"}, list), 2);
  ASSERT_EQ(list.size(), 4u);
  std::vector<std::string> jpgs(list.begin(), list.begin() + 2);
  std::sort(jpgs.begin(), jpgs.end());
  EXPECT_EQ(jpgs, (std::vector<std::string>{folder + "B.JPG", folder + "a.jpg"}));
  // Movies come after the pictures, grouped by extension in the order asked.
  EXPECT_EQ(list[2], folder + "m.MOV");
  EXPECT_EQ(list[3], folder + "clip.mpg");
}

TEST(ListImageFiles, MissingFolderAddsNothing) {
  std::vector<std::string> list{"kept"};
  EXPECT_EQ(listImageFiles("/nonexistent-sortelia/", {".jpg"}, list), 0);
  EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

TEST(ListImageFiles, FolderReadErrorNamesWhyAFolderCannotBeListed) {
  TempDir d;
  d.write("f.jpg", "x");
  EXPECT_EQ(folderReadError(d.path()), 0);
  EXPECT_EQ(folderReadError(d.path() + "/"), 0);
  EXPECT_EQ(folderReadError(d.file("missing")), ENOENT);
  EXPECT_EQ(folderReadError(d.file("f.jpg")), ENOTDIR);
  EXPECT_EQ(folderReadError(d.file("f.jpg/x")), ENOTDIR);
}

TEST(ListSubfolders, DepthFirstParentsBeforeChildrenSkippingHiddenAndLinks) {
  TempDir d;
  d.mkdir("a/a1/a11");
  d.mkdir("a/.git");
  d.mkdir(".cache");
  d.write("file", "x");
  ASSERT_EQ(::symlink(d.path().c_str(), d.file("loop").c_str()), 0);
  std::vector<std::string> list;
  listSubfolders(d.path() + "/", list);
  const std::string f = d.path() + "/";
  EXPECT_EQ(list, (std::vector<std::string>{f + "a/", f + "a/a1/", f + "a/a1/a11/"}));
}

TEST(FileOps, SizeIsZeroWhenUnreadable) {
  TempDir d;
  EXPECT_EQ(fs::getFileSize(d.write("f", std::string(1234, 'x'))), 1234);
  EXPECT_EQ(fs::getFileSize(d.file("missing")), 0);
  EXPECT_EQ(fs::getFileSize(d.path()), 0);
}

// A FIFO (or a device) named like a picture must never make a reader wait for a writer that
// will not come. Should a call block, the watchdog opens the FIFO's other end after a while,
// which lets it go on, and the test fails instead of hanging.
TEST(FileOps, NoReaderWaitsForAFifo) {
  testing::TempDir dir;
  const std::string fifo = dir.file("pipe.jpg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string plain = dir.write("plain.jpg", "bytes");
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  bool rescued = false;
  std::thread watchdog([&] {
    std::unique_lock lock(m);
    while (!done) {
      if (!cv.wait_for(lock, std::chrono::seconds(3), [&] { return done; })) {
        const int w = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (w >= 0) {
          rescued = true;
          ::close(w);
        }
      }
    }
  });
  EXPECT_FALSE(fs::readFile(fifo, 1024));
  EXPECT_EQ(fs::getFileSize(fifo), 0);
  EXPECT_EQ(fs::readError(fifo), EINVAL);
  fs::FileOperations files;
  EXPECT_EQ(files.copyNoOverwrite(fifo, dir.file("copy.jpg")).error, EINVAL);
  EXPECT_FALSE(fs::exists(dir.file("copy.jpg")));
  EXPECT_THROW((void)files.sameContent(plain, fifo), fs::FileReadError);
  // A folder is refused as a folder; a plain file still opens.
  EXPECT_EQ(fs::readError(dir.path()), EISDIR);
  const int fd = fs::openForReading(plain);
  EXPECT_GE(fd, 0);
  if (fd >= 0) ::close(fd);
  {
    std::lock_guard lock(m);
    done = true;
  }
  cv.notify_all();
  watchdog.join();
  EXPECT_FALSE(rescued) << "a reader waited for the FIFO's writer";
}

TEST(FileOps, AtomicWriteReplacesAndKeepsNoTemporary) {
  TempDir d;
  const std::string p = d.write("f.txt", "old");
  ASSERT_EQ(::chmod(p.c_str(), 0600), 0);
  ASSERT_TRUE(fs::writeFileAtomic(p, "new contents").ok());
  EXPECT_EQ(readAll(p), "new contents");
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  std::vector<std::string> all;
  listImageFiles(d.path() + "/", {""}, all);
  EXPECT_EQ(all.size(), 1u);
}

// Fault: the atomic replace renamed over a file without write permission, so a person's
// read-only file was replaced and the write reported success.
TEST(FileOps, AtomicWriteRefusesAReadOnlyFileUnlessToldToReplaceIt) {
  TempDir d;
  const std::string p = d.write("f.txt", "old");
  for (const mode_t mode : {0444, 0400, 0000}) {
    ASSERT_EQ(::chmod(p.c_str(), mode), 0);
    const fs::FileResult r = fs::writeFileAtomic(p, "new");
    EXPECT_EQ(r.error, EACCES) << std::oct << mode;
    EXPECT_EQ(r.path, p);
    ASSERT_EQ(::chmod(p.c_str(), 0600), 0);
    EXPECT_EQ(readAll(p), "old") << std::oct << mode;
  }
  std::vector<std::string> all;
  listImageFiles(d.path() + "/", {""}, all);
  EXPECT_EQ(all.size(), 1u) << "a temporary file was left behind";
  // The program's own files keep being replaced, their mode kept.
  ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
  ASSERT_TRUE(fs::writeFileAtomic(p, "own", fs::ReadOnlyFile::Replace).ok());
  EXPECT_EQ(readAll(p), "own");
  // A new file and a writable one are written as before.
  EXPECT_TRUE(fs::writeFileAtomic(d.file("new.txt"), "n").ok());
  EXPECT_EQ(readAll(d.file("new.txt")), "n");
  EXPECT_EQ(fs::replaceDenied(d.file("missing.txt")), 0);
  ASSERT_EQ(::chmod(p.c_str(), 0200), 0);
  EXPECT_EQ(fs::replaceDenied(p), 0);
  EXPECT_TRUE(fs::writeFileAtomic(p, "again").ok());
}

// Fault found earlier: the atomic replace renamed over a symbolic link, so a picture opened
// through a link (a folder of links into an archive) had the link turned into a full copy
// with the new contents while the picture itself kept the old ones.
TEST(FileOps, AtomicWriteThroughASymbolicLinkReplacesTheFileItNames) {
  TempDir d;
  ASSERT_EQ(::mkdir(d.file("archive").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(d.file("links").c_str(), 0755), 0);
  const std::string target = d.write("archive/p.jpg", "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = d.file("links/p.jpg");
  ASSERT_EQ(::symlink("../archive/p.jpg", link.c_str()), 0);
  ASSERT_TRUE(fs::writeFileAtomic(link, "new").ok());
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
  EXPECT_EQ(readAll(target), "new");
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // A link to a link ends at the same file; nothing is left in either folder.
  ASSERT_EQ(::symlink("p.jpg", d.file("links/q.jpg").c_str()), 0);
  ASSERT_TRUE(fs::writeFileAtomic(d.file("links/q.jpg"), "newer").ok());
  EXPECT_EQ(readAll(target), "newer");
  std::vector<std::string> all;
  listImageFiles(d.file("archive") + "/", {""}, all);
  EXPECT_EQ(all.size(), 1u);
  // The refusal of a read-only file looks at the file the link names, and leaves both alone.
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  EXPECT_EQ(fs::writeFileAtomic(link, "refused").error, EACCES);
  EXPECT_EQ(readAll(target), "newer");
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// Fault found earlier: the replacement was a new file of whoever wrote it, so a picture
// written by root (a command run with sudo) became root's and its owner could no longer
// write it.
TEST(FileOps, AtomicWriteKeepsTheOwnerOfTheFileItReplaces) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  TempDir d;
  const std::string p = d.write("p.jpg", "old");
  ASSERT_EQ(::chown(p.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
  ASSERT_TRUE(fs::writeFileAtomic(p, "new").ok());
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(readAll(p), "new");
}

// Fault found earlier: a file rewritten from what was read of it (a picture given a comment)
// was renamed over whatever stood there by then: a version another program had written
// meanwhile was lost, and a picture moved away meanwhile came back at its old name.
TEST(FileOps, AtomicWriteOfWhatWasReadRefusesAFileChangedOrGoneMeanwhile) {
  TempDir d;
  const std::string p = d.write("p.jpg", "as read");
  auto stamp = fs::fileStamp(p);
  ASSERT_TRUE(stamp);
  EXPECT_FALSE(fs::fileStamp(d.file("missing.jpg")));
  // Unchanged: written.
  ASSERT_TRUE(fs::writeFileAtomic(p, "rewritten", fs::ReadOnlyFile::Refuse, &*stamp).ok());
  EXPECT_EQ(readAll(p), "rewritten");
  // Replaced by another program (a new file), or changed where it stands: refused.
  stamp = fs::fileStamp(p);
  const std::string other = d.write("other.jpg", "another version");
  ASSERT_EQ(::rename(other.c_str(), p.c_str()), 0);
  fs::FileResult r = fs::writeFileAtomic(p, "stale", fs::ReadOnlyFile::Refuse, &*stamp);
  EXPECT_EQ(r.error, ESTALE);
  EXPECT_EQ(r.path, p);
  EXPECT_EQ(readAll(p), "another version");
  stamp = fs::fileStamp(p);
  d.write("p.jpg", "changed in place, longer");
  EXPECT_EQ(fs::writeFileAtomic(p, "stale", fs::ReadOnlyFile::Refuse, &*stamp).error, ESTALE);
  EXPECT_EQ(readAll(p), "changed in place, longer");
  // Gone: not brought back.
  stamp = fs::fileStamp(p);
  ASSERT_EQ(::rename(p.c_str(), d.file("moved.jpg").c_str()), 0);
  EXPECT_EQ(fs::writeFileAtomic(p, "stale", fs::ReadOnlyFile::Refuse, &*stamp).error, ESTALE);
  EXPECT_FALSE(fs::exists(p));
  std::vector<std::string> all;
  listImageFiles(d.path() + "/", {""}, all);
  EXPECT_EQ(all.size(), 1u) << "a temporary file was left behind";
}

TEST(FileOps, ReadAndWritePermissionsByErrno) {
  TempDir d;
  const std::string p = d.write("f.jpg", "x");
  EXPECT_EQ(fs::readError(p), 0);
  EXPECT_EQ(fs::readError(d.file("missing.jpg")), ENOENT);
  EXPECT_EQ(fs::readError(d.path()), EISDIR);
  EXPECT_EQ(fs::writeDenied(p), 0);
  EXPECT_EQ(fs::writeDenied(d.file("missing.jpg")), ENOENT);
  // No write bit: refused also for root, whom access() would let through.
  for (const mode_t mode : {0444, 0000, 0040}) {
    ASSERT_EQ(::chmod(p.c_str(), mode), 0);
    EXPECT_EQ(fs::writeDenied(p), EACCES) << std::oct << mode;
  }
  ASSERT_EQ(::chmod(p.c_str(), 0200), 0);
  EXPECT_EQ(fs::writeDenied(p), 0);
}

// Fault: a comment write or a reduced save stopped before its rename left its hidden
// temporary, as large as the picture, beside the picture for good.
TEST(FileOps, AReplaceStoppedMidWriteLeavesATemporaryThatIsRemovedOnceOld) {
  TempDir d;
  const std::string picture = d.write("IMG_0001.JPG", "the picture");
  // A child stopped by the system while it writes (the file size limit's signal) leaves the
  // temporary of a real replace behind.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const struct rlimit limit = {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    (void)fs::writeFileAtomic(picture, std::string(1 << 20, 'x'));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(d.path())) {
    if (e.path().filename() != "IMG_0001.JPG") left.push_back(e.path().filename().string());
  }
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(fs::isReplaceTemporary(left[0])) << left[0];

  // Lookalikes stay; so does a temporary younger than a minute (another process's replace may
  // be writing it).
  const auto age = [&](const std::string& name, int seconds) {
    const struct timespec times[2] = {{std::time(nullptr) - seconds, 0},
                                      {std::time(nullptr) - seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (d.path() + "/" + name).c_str(), times, 0), 0) << name;
  };
  age(left[0], 120);
  for (const char* name : {".sortelia-0123ABCD.tmp", ".sortelia-notes123.tmp",
                           ".sortelia-0123abc.tmp", "x.sortelia-0123abcd.tmp"}) {
    d.write(name, "somebody's");
    age(name, 120);
  }
  d.write(".sortelia-89abcdef.tmp", "being written");
  ASSERT_EQ(::mkdir((d.path() + "/.sortelia-00000000.tmp").c_str(), 0755), 0);
  age(".sortelia-00000000.tmp", 120);

  EXPECT_EQ(fs::removeReplaceTemporaries(d.path()), 1);
  EXPECT_FALSE(fs::exists(d.path() + "/" + left[0]));
  EXPECT_EQ(readAll(picture), "the picture");
  for (const char* name :
       {".sortelia-0123ABCD.tmp", ".sortelia-notes123.tmp", ".sortelia-0123abc.tmp",
        "x.sortelia-0123abcd.tmp", ".sortelia-89abcdef.tmp", ".sortelia-00000000.tmp"}) {
    EXPECT_TRUE(fs::exists(d.path() + "/" + name)) << name;
  }
}

TEST(FileOps, AtomicWriteIntoMissingFolderFailsWithErrno) {
  fs::FileResult r = fs::writeFileAtomic("/nonexistent-sortelia/x.txt", "x");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error, ENOENT);
  EXPECT_EQ(r.path, "/nonexistent-sortelia/x.txt");
}

TEST(LineFile, WritesCrLfInCp932AndReadsBack) {
  TempDir d;
  const std::string p = d.file("t.txt");
  ASSERT_TRUE(writeTextLines(p, {"写真", "", "abc"}).ok());
  EXPECT_EQ(readAll(p), "\x8E\xCA\x90\x5E\r\n\r\nabc\r\n");
  EXPECT_EQ(*readTextLines(p), (std::vector<std::string>{"写真", "", "abc"}));
}

TEST(LineFile, TextOutsideCp932IsWrittenAsUtf8AndSurvives) {
  TempDir d;
  const std::string p = d.file("t.txt");
  const std::vector<std::string> lines{"/photos/家族😀/", "写真"};
  ASSERT_TRUE(writeTextLines(p, lines).ok());
  EXPECT_EQ(readAll(p), "/photos/家族😀/\r\n写真\r\n");
  EXPECT_EQ(*readTextLines(p), lines);
}

TEST(LineFile, CharactersCp932WouldChangeAreWrittenAsUtf8) {
  TempDir d;
  const std::string p = d.file("zel.ini");
  // iconv encodes each of these to CP932 bytes that decode as a different character.
  for (const char* c : {"〜", "−", "—", "‖", "¢", "¬"}) {
    const std::vector<std::string> lines{std::string("/写真/旅行") + c + "2024/", "1"};
    ASSERT_TRUE(writeTextLines(p, lines).ok());
    EXPECT_EQ(readAll(p), lines[0] + "\r\n1\r\n") << c;
    EXPECT_EQ(*readTextLines(p), lines) << c;
  }
  // A plain Japanese name still goes out as CP932.
  ASSERT_TRUE(writeTextLines(p, {"/写真/旅行～2024/"}).ok());
  EXPECT_EQ(readAll(p), *text::toCp932("/写真/旅行～2024/\r\n"));
  EXPECT_EQ(*readTextLines(p), std::vector<std::string>{"/写真/旅行～2024/"});
}

TEST(LineFile, SplitsOnAnyLineEnd) {
  EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(splitLines("").empty());
  EXPECT_FALSE(readTextLines("/nonexistent-sortelia/x").has_value());
}

TEST(DataFolder, FollowsXdgConfigHome) {
  TempDir d;
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", d.path().c_str(), 1);
  EXPECT_EQ(dataFolder(), d.path() + "/sortelia");
  EXPECT_EQ(ensureDataFolder(), d.path() + "/sortelia");
  EXPECT_TRUE(fs::isDirectory(d.path() + "/sortelia"));
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_NE(dataFolder(), "relative/ignored/sortelia");
  if (old) {
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
}  // namespace sortelia

namespace sortelia {
namespace {

TEST(InstanceLock, OnlyOneHolderUntilReleased) {
  testing::TempDir d;
  auto first = std::make_unique<InstanceLock>(d.path(), "ZEL");
  ASSERT_TRUE(first->tryAcquire().acquired());
  InstanceLock second(d.path(), "ZEL");
  const LockResult refused = second.tryAcquire();
  EXPECT_EQ(refused.outcome, LockResult::Outcome::HeldByAnother);
  EXPECT_TRUE(refused.heldByAnother());
  EXPECT_FALSE(refused.failed());
  EXPECT_FALSE(second.held());
  InstanceLock other(d.path(), "OTHER");
  EXPECT_TRUE(other.tryAcquire().acquired());
  first.reset();
  EXPECT_TRUE(second.tryAcquire().acquired());
  EXPECT_TRUE(second.held());
}

// A lock that cannot be used is a failure with its errno, never the sign of another copy.
// Each of these fails for root as well.
TEST(InstanceLock, UnusableLockFileIsAFailureNotAnotherCopy) {
  testing::TempDir d;
  d.write("plain-file", "x");
  d.mkdir("dir-at-lock/sortelia-ZEL.lock");
  const struct {
    std::string folder;
    int error;
  } cases[] = {
      {d.file("plain-file"), ENOTDIR},          // the folder is a regular file
      {d.file("plain-file/runtime"), ENOTDIR},  // its parent is a regular file
      {d.file("missing/runtime"), ENOENT},      // it could not be created
      {d.file("dir-at-lock"), EISDIR},          // a folder stands at the lock file's name
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    InstanceLock lock(c.folder, "ZEL");
    const LockResult r = lock.tryAcquire();
    EXPECT_EQ(r.outcome, LockResult::Outcome::OpenFailed);
    EXPECT_EQ(r.error, c.error);
    EXPECT_TRUE(r.failed());
    EXPECT_FALSE(r.heldByAnother());
    EXPECT_FALSE(lock.held());
  }
}

}  // namespace
}  // namespace sortelia
