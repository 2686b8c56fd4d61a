// sortelia-cli export and rename on a folder: what they print, what they write, and their
// exit status when something fails.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "exif/photo_export.h"
#include "exif/rename_by_date.h"
#include "platform/file_ops.h"
#include "platform/text_codec.h"
#include "support/exif_builder.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

std::string fileTimeStemOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return fileTimeStem(st.st_mtime);
}

class FolderCli : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    b_ = picture("b.JPG", "2003:05:06 12:34:56");
    a_ = picture("A.jpg", "2003:05:06 12:34:56");
    movie_ = dir_.write("c.mov", "movie bytes");
    dir_.write("notes.txt", "not a picture");
    dir_.mkdir("sub");
    picture("sub/d.jpg", "2004:01:01 00:00:00");
  }
  std::string picture(const std::string& name, const std::string& dateTime) {
    ExifBuilder b(false);
    b.ascii(Ifd::kExif, 0x9003, dateTime);
    return dir_.write(name, testing::jpegWithSegments({b.app1()}));
  }
  std::string f(const std::string& name) const { return dir_.file(name); }

  testing::TempDir config_, dir_;
  std::string a_, b_, movie_;
};

TEST_F(FolderCli, ExportEachAndAllInOne) {
  auto r = testing::runProcess({kCli, "export", "--each", dir_.path() + "/"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "'" + a_ + "' -> '" + f("A.txt") + "'\n'" + b_ + "' -> '" + f("b.txt") + "'\n'" +
                       movie_ + "' -> '" + f("c.txt") + "'\n");
  EXPECT_TRUE(text::fromCp932(testing::readAll(f("A.txt")))
                  .starts_with("01:画像ファイル名 ------> " + a_ + "\r\n"));
  EXPECT_FALSE(fs::exists(f("sub/d.txt")));

  r = testing::runProcess(
      {kCli, "export", "--all-in-one", "--mask", std::string(27, '0'), dir_.path()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string all = text::fromCp932(testing::readAll(f("_Photo.txt")));
  EXPECT_TRUE(all.starts_with("FilePath: " + a_ + "\r\n")) << all;
  EXPECT_NE(all.find("\r\n\r\nFilePath: " + movie_ + "\r\n"), std::string::npos);
  EXPECT_TRUE(all.ends_with(" mm\r\n\r\n"));
}

TEST_F(FolderCli, ExportFailureIsReportedAfterTheRest) {
  dir_.mkdir("b.txt");
  const auto r = testing::runProcess({kCli, "export", "--each", dir_.path()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "sortelia-cli export: cannot write \"" + f("b.txt") + "\": Is a directory\n");
  EXPECT_TRUE(fs::isRegularFile(f("c.txt")));
}

TEST_F(FolderCli, RenameNeverOverwrites) {
  // A shooting time of an unusual form names nothing: the file time does.
  const std::string odd = picture("e.jpg", "2005:05:05 05:05:05" + std::string(300, '5'));
  // Something the scan does not list holds the first name: a symbolic link to the notes.
  ASSERT_EQ(::symlink("notes.txt", f("20030506-123456.jpg").c_str()), 0);
  const std::string movieStem = fileTimeStemOf(movie_);
  const std::string oddStem = fileTimeStemOf(odd);
  const auto r = testing::runProcess({kCli, "rename", dir_.path()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "renamed '" + a_ + "' -> '" + f("20030506-123456_1.jpg") + "'\nrenamed '" + b_ +
                       "' -> '" + f("20030506-123456_2.JPG") + "'\n" + "renamed '" + movie_ +
                       "' -> '" + f(movieStem + ".mov") + "'\nrenamed '" + odd + "' -> '" +
                       f(oddStem + ".jpg") + "'\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(testing::readAll(f("20030506-123456.jpg")), "not a picture");
  EXPECT_TRUE(fs::exists(f("sub/d.jpg")));
}

TEST_F(FolderCli, RenameTakesCompanionsUnlessAlone) {
  for (const bool alone : {true, false}) {
    SCOPED_TRACE(alone ? "alone" : "with companions");
    testing::TempDir dir;
    const auto in = [&](const std::string& name) { return dir.file(name); };
    ExifBuilder exif(false);
    exif.ascii(Ifd::kExif, 0x9003, "2003:05:06 12:34:56");
    dir.write("A.jpg", testing::jpegWithSegments({exif.app1()}));
    dir.write("b.JPG", testing::jpegWithSegments({exif.app1()}));
    dir.write("b.CR3", "raw");
    dir.write("b.JPG.xmp", "xmp");
    dir.write("A.MOV", "live photo");
    std::vector<std::string> args{kCli, "rename", dir.path()};
    if (alone) args.insert(args.begin() + 2, "--alone");
    const auto r = testing::runProcess(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(in("20030506-123456.jpg")));
    EXPECT_TRUE(fs::exists(in("20030506-123456_1.JPG")));
    // A Live Photo movie is no entry of its own: alone, it keeps its name.
    EXPECT_EQ(testing::readAll(in(alone ? "A.MOV" : "20030506-123456.MOV")), "live photo");
    EXPECT_EQ(testing::readAll(in(alone ? "b.CR3" : "20030506-123456_1.CR3")), "raw");
    EXPECT_EQ(testing::readAll(in(alone ? "b.JPG.xmp" : "20030506-123456_1.JPG.xmp")), "xmp");
    EXPECT_EQ(r.out.find("renamed '" + in("b.CR3") + "' -> '" + in("20030506-123456_1.CR3") +
                         "'\n") != std::string::npos,
              !alone)
        << r.out;
  }
}

TEST_F(FolderCli, RenameReportsRefusalsAndGoesOn) {
  // A folder whose path leaves room for "20030506-123456.jpg" but not for a name two
  // characters longer, so the second picture of the same second is refused by the system.
  const std::size_t length = 4095 - std::string("/20030506-123456.jpg").size();
  std::string deep = dir_.path();
  while (deep.size() < length) {
    deep += "/" + std::string(std::min<std::size_t>(200, length - deep.size() - 1), 'd');
    ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0) << deep.size();
  }
  ASSERT_EQ(deep.size(), length);
  const std::string first = deep + "/a.jpg";
  const std::string second = deep + "/b.jpg";
  for (const std::string& p : {first, second}) {
    ExifBuilder b(false);
    b.ascii(Ifd::kExif, 0x9003, "2003:05:06 12:34:56");
    dir_.write(p.substr(dir_.path().size() + 1), testing::jpegWithSegments({b.app1()}));
  }
  const auto r = testing::runProcess({kCli, "rename", deep});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "renamed '" + first + "' -> '" + deep + "/20030506-123456.jpg'\n");
  EXPECT_EQ(r.err, "sortelia-cli rename: cannot rename \"" + second + "\" to \"" + deep +
                       "/20030506-123456_1.jpg\": File name too long\n");
  EXPECT_TRUE(fs::exists(second));
}

// Fault: a picture without read permission was exported as a record of zeros and renamed
// after its file time, both reported as done: its shooting time was never read.
TEST_F(FolderCli, ExportAndRenameReportAPictureThatCannotBeRead) {
  // Root reads any file: the commands then run as the unprivileged user "nobody".
  std::vector<std::string> prefix;
  if (::geteuid() == 0) {
    if (!testing::haveProgram("setpriv")) GTEST_SKIP() << "setpriv is missing";
    prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    for (const std::string& d : {config_.path(), dir_.path(), f("sub")}) {
      ASSERT_EQ(::chmod(d.c_str(), 0777), 0) << d;
    }
    for (const std::string& p : {a_, movie_}) ASSERT_EQ(::chmod(p.c_str(), 0666), 0) << p;
  }
  ASSERT_EQ(::chmod(b_.c_str(), 0), 0);
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), kCli);
    args.insert(args.begin(), prefix.begin(), prefix.end());
    return testing::runProcess(args);
  };
  const std::string denied = "\"" + b_ + "\": Permission denied\n";

  auto r = run({"export", "--each", dir_.path()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "sortelia-cli export: cannot read " + denied);
  EXPECT_FALSE(fs::exists(f("b.txt")));
  EXPECT_TRUE(fs::exists(f("A.txt")));

  r = run({"export", "--all-in-one", dir_.path()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "sortelia-cli export: cannot read " + denied);
  EXPECT_EQ(r.out.find(b_), std::string::npos) << r.out;
  const std::string all = text::fromCp932(testing::readAll(f("_Photo.txt")));
  EXPECT_NE(all.find(a_), std::string::npos);
  EXPECT_EQ(all.find(b_), std::string::npos) << all;

  r = run({"rename", dir_.path()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "sortelia-cli rename: cannot read the time of " + denied);
  EXPECT_TRUE(fs::exists(b_));
  EXPECT_TRUE(fs::exists(f("20030506-123456.jpg")));
}

TEST_F(FolderCli, BadArguments) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"export", dir_.path()},
                                             {"export", "--each", "--all-in-one", dir_.path()},
                                             {"export", "--each"},
                                             {"export", "--each", "--mask", "101", dir_.path()},
                                             {"rename"},
                                             {"rename", "--bogus", dir_.path()},
                                             {"rename", dir_.path(), dir_.path()}}) {
    std::vector<std::string> argv = {kCli};
    argv.insert(argv.end(), args.begin(), args.end());
    EXPECT_EQ(testing::runProcess(argv).exitCode, 2) << ::testing::PrintToString(args);
  }
  EXPECT_EQ(testing::runProcess({kCli, "rename", f("missing")}).exitCode, 1);
  EXPECT_TRUE(fs::exists(a_));
}

}  // namespace
}  // namespace sortelia::exif
