// sortelia-cli album, run as a separate program over a folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "outputs/album/album_template.h"
#include "outputs/reduce_pipeline.h"
#include "platform/text_codec.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::outputs::album {
namespace {

using sortelia::testing::makeTestJpeg;
using sortelia::testing::readAll;
using sortelia::testing::runProcess;
using sortelia::testing::TempDir;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

// Positions of the texts in page, in the order given; npos for a missing one.
std::vector<std::size_t> positions(const std::string& page, const std::vector<std::string>& texts) {
  std::vector<std::size_t> at;
  for (const auto& t : texts) at.push_back(page.find(t));
  return at;
}

class AlbumCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
    ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    const std::string jpeg = makeTestJpeg(80, 60);
    for (const char* name : {"b.JPG", "A.jpg", "e.jpeg", ".hidden.jpg", "sub/x.jpg"}) {
      dir.write(std::string("src/") + name, jpeg);
    }
    dir.write("src/bad.jpg", "not a picture");
    dir.write("src/c.mov", "movie");
    dir.write("src/d.mpg", "movie");
  }
  std::string page(int n) const {
    return text::fromCp932(readAll(out + "src_" + std::to_string(n) + ".html"));
  }

  TempDir dir;
  std::string src = dir.file("src");
  std::string out = src + "/0_Box40x30-6/";
};

TEST_F(AlbumCommand, ReducesTheFolderAndWritesThePagesReportingTheBadPicture) {
  const auto r =
      runProcess({kCli, "album", src, "--width", "40", "--height", "30", "--level", "6"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, out + "\n");
  EXPECT_NE(r.err.find(src + "/bad.jpg"), std::string::npos) << r.err;
  // The templates were written into the data folder with their default content.
  TempDir defaults;
  ASSERT_TRUE(WriteDefaultTemplate(defaults.file("t1"), 1));
  EXPECT_EQ(readAll(dir.file("config/sortelia/zel-html1.txt")), readAll(defaults.file("t1")));
  // The scan's list: .jpg, .mov and .mpg files of the folder itself, sorted ignoring case.
  const auto at = positions(
      page(2), {"1 : A.jpg", "2 : b.JPG", "3 : bad.jpg", "4 : c.mov", "5 : d.mpg", "6 : "});
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NE(at[i], std::string::npos) << i;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end() - 1));
  EXPECT_EQ(at[5], std::string::npos);
  EXPECT_NE(page(1).find("02:撮影日時"), std::string::npos);
  TempDir alone;
  EXPECT_EQ(readAll(out + "0_A.jpg"),
            readAll(FToFJpgStrch(src + "/A.jpg", alone.path(), {}, {40, 30}, 6)));
  EXPECT_TRUE(std::filesystem::exists(out + "0_b.JPG"));
  EXPECT_FALSE(std::filesystem::exists(out + "0_bad.jpg"));
  EXPECT_FALSE(std::filesystem::exists(out + "0_c.mov"));
}

TEST_F(AlbumCommand, FollowsTheSavedWindowWidthAndItemMask) {
  std::string ini;
  for (int i = 0; i < 13; ++i) ini += "\r\n";
  ini += "108\r\n250\r\n603\r\n110\r\nFALSE\r\n3\r\nFALSE\r\nFALSE\r\nFALSE\r\n";
  ini += "100000000000000000000000000\r\n";
  dir.write("config/sortelia/zel.ini", ini);
  dir.write("src/bad.jpg", makeTestJpeg(8, 8));
  const auto r =
      runProcess({kCli, "album", src, "--width", "40", "--height", "30", "--level", "6"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // A window 110 pixels wide holds two cells of 40 + 5 pixels per row.
  const std::string grid = page(2);
  EXPECT_NE(grid.find("2 : b.JPG<BR></a>\r\n </td>\r\n</tr><tr>"), std::string::npos);
  EXPECT_NE(grid.find("4 : c.mov<BR></a>\r\n </td>\r\n</tr><tr>"), std::string::npos);
  EXPECT_EQ(grid.find("3 : bad.jpg<BR></a>\r\n </td>\r\n</tr><tr>"), std::string::npos);
  EXPECT_NE(page(1).find("01:画像ファイル名"), std::string::npos);
  EXPECT_EQ(page(1).find("02:撮影日時"), std::string::npos);
}

TEST_F(AlbumCommand, RefusesBadArguments) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {src, "--width", "40"},
           {src, "--width", "0", "--height", "30"},
           {src, "--width", "40", "--height", "30", "--level", "11"},
           {dir.file("nowhere"), "--width", "40", "--height", "30"},
           {src, src, "--width", "40", "--height", "30"}}) {
    std::vector<std::string> argv{kCli, "album"};
    argv.insert(argv.end(), args.begin(), args.end());
    EXPECT_EQ(runProcess(argv).exitCode, 2) << args[1];
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace sortelia::outputs::album
