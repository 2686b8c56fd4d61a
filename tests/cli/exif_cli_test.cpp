// sortelia-cli exif from the outside: the record dump, the missing-EXIF and unreadable-file
// reports and the comment rewrite.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "exif/exif_info.h"
#include "support/exif_builder.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

std::string pictureWithComment(const testing::TempDir& dir, const std::string& name,
                               const std::string& comment) {
  ExifBuilder b(true);
  b.ascii(Ifd::kIfd0, 0x010F, "Maker")
      .rational(Ifd::kExif, 0x829D, 28, 10)
      .shortValue(Ifd::kExif, 0x9209, 7)
      .ascii(Ifd::kExif, 0x9286, comment);
  return dir.write(name, testing::jpegWithSegments({b.app1()}));
}

TEST(ExifCli, PrintsTheRecordAndReportsFilesWithoutExif) {
  testing::TempDir dir;
  const std::string a = pictureWithComment(dir, "a.jpg", "first");
  const std::string none = dir.write("none.jpg", testing::jpegWithSegments({}));
  const std::string b = pictureWithComment(dir, "b.jpg", "second");
  const auto r = testing::runProcess({kCli, "exif", a, none, b});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, none + ": no EXIF segment\n");
  EXPECT_EQ(r.out.substr(0, 21), "MotorolaOrder: true\nA");
  EXPECT_NE(r.out.find("FNumber: 28/10 2.8\n"), std::string::npos);
  EXPECT_NE(r.out.find("Flash: 7 発光(反射光検出)\n"), std::string::npos);
  EXPECT_NE(r.out.find("ImageFileName: " + a + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("UserComment: first\nXResolution"), std::string::npos);
  EXPECT_NE(r.out.find("YResolution:  0\n\nMotorolaOrder: true\n"), std::string::npos);
  EXPECT_NE(r.out.find("UserComment: second\n"), std::string::npos);
  EXPECT_EQ(testing::runProcess({kCli, "exif", a}).exitCode, 0);
}

TEST(ExifCli, SetCommentKeepsTheRotationMark) {
  testing::TempDir dir;
  const std::string p = pictureWithComment(dir, "p.jpg", "@270:old text");
  const auto r = testing::runProcess({kCli, "exif", "--set-comment", "  new text ", p});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  TExifInfo x;
  x.setImageFileName(p);
  EXPECT_EQ(x.UserComment, std::vector<std::string>{"@270:new text\r\n"});
  EXPECT_EQ(x.Make, "Maker");
  EXPECT_TRUE(x.MotorolaOrder);
  const std::string q = pictureWithComment(dir, "q.jpg", "plain");
  EXPECT_EQ(testing::runProcess({kCli, "exif", "--set-comment", "x", q}).exitCode, 0);
  x.setImageFileName(q);
  EXPECT_EQ(x.UserComment, std::vector<std::string>{"x\r\n"});
  const auto missing = testing::runProcess({kCli, "exif", "--set-comment", "x", dir.file("n.jpg")});
  EXPECT_EQ(missing.exitCode, 1);
}

}  // namespace
}  // namespace sortelia::exif

namespace sortelia::exif {
namespace {

TEST(ExifCli, SaysAFileCannotBeReadInsteadOfHavingNoExif) {
  testing::TempDir dir;
  const std::string good = pictureWithComment(dir, "good.jpg", "fine");
  const std::string missing = dir.file("missing.jpg");
  const std::string folder = dir.mkdir("folder.jpg");
  const auto r = testing::runProcess({kCli, "exif", missing, good, folder});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, missing + ": cannot read the file: No such file or directory\n" + folder +
                       ": cannot read the file: Is a directory\n");
  EXPECT_NE(r.out.find("UserComment: fine\n"), std::string::npos);
  const auto set = testing::runProcess({kCli, "exif", "--set-comment", "x", missing});
  EXPECT_EQ(set.exitCode, 1);
  EXPECT_EQ(set.err, missing + ": cannot read the file: No such file or directory\n");
  if (::geteuid() != 0) {  // root reads any file
    const std::string locked = pictureWithComment(dir, "locked.jpg", "x");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    EXPECT_EQ(testing::runProcess({kCli, "exif", locked}).err,
              locked + ": cannot read the file: Permission denied\n");
  }
}

TEST(ExifCli, SetCommentRefusesAReadOnlyPicture) {
  testing::TempDir dir;
  const std::string p = pictureWithComment(dir, "p.jpg", "old");
  const std::string before = testing::readAll(p);
  ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
  const auto r = testing::runProcess({kCli, "exif", "--set-comment", "new", p});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "sortelia-cli exif: " + p + " を書き込めません: Permission denied\n");
  EXPECT_EQ(testing::readAll(p), before);
}

}  // namespace
}  // namespace sortelia::exif
