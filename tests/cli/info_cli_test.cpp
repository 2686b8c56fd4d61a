// sortelia-cli info on real camera files, compared with exiftool's reading of the same files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "exif/exif_info.h"
#include "exif/photo_info.h"
#include "platform/format.h"
#include "support/exiftool.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

// Item number ("02") -> value after "-> ", from one record's text.
std::map<std::string, std::string> itemsOf(const std::string& record) {
  std::map<std::string, std::string> items;
  std::size_t start = 0;
  while (start < record.size()) {
    auto end = record.find("\r\n", start);
    if (end == std::string::npos) end = record.size();
    const std::string line = record.substr(start, end - start);
    start = end + 2;
    const auto arrow = line.find("-> ");
    if (line.size() > 3 && line[2] == ':' && arrow != std::string::npos) {
      items[line.substr(0, 2)] = line.substr(arrow + 3);
    }
  }
  return items;
}

std::string rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Seconds from "1/160 秒" or "2 秒".
double seconds(const std::string& v) {
  const std::string n = v.substr(0, v.find(' '));
  if (n.starts_with("1/")) return 1 / std::stod(n.substr(2));
  return n == "---" ? 0 : std::stod(n);
}

class InfoCli : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1); }
  testing::TempDir config_;
};

TEST_F(InfoCli, AllItemsAgreeWithExiftoolOnCameraFiles) {
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(testing::testData("camera"))) {
    if (TExifInfo().HasExif(e.path().string())) files.push_back(e.path().string());
  }
  ASSERT_GE(files.size(), 15u);
  std::vector<std::string> args = {kCli, "info", "--mask", std::string(27, '1')};
  args.insert(args.end(), files.begin(), files.end());
  const auto r = testing::runProcess(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(config_.file("sortelia/zel-prm.txt")));
  std::vector<std::string> records;
  std::size_t start = 0;
  while (start < r.out.size()) {
    auto end = r.out.find("\r\n\r\n01:", start);
    if (end == std::string::npos) end = r.out.size();
    records.push_back(r.out.substr(start, end - start));
    start = end + 4;
  }
  ASSERT_EQ(records.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto ours = itemsOf(records[i]);
    const auto tool = testing::readWithExiftool(files[i]);
    const auto get = [&](const char* tag) {
      const auto it = tool.find(tag);
      return it == tool.end() ? std::string() : it->second;
    };
    const std::string& f = files[i];
    EXPECT_EQ(ours.at("01"), f);
    EXPECT_EQ(rtrim(ours.at("21")), get("IFD0:Make")) << f;
    EXPECT_EQ(rtrim(ours.at("22")), get("IFD0:Model")) << f;
    EXPECT_EQ(ours.at("02"),
              DotDate(get("ExifIFD:DateTimeOriginal")) + "." + get("ExifIFD:SubSecTimeOriginal"))
        << f;
    EXPECT_EQ(ours.at("03"),
              DotDate(get("ExifIFD:CreateDate")) + "." + get("ExifIFD:SubSecTimeDigitized"))
        << f;
    EXPECT_EQ(ours.at("04"), DotDate(get("IFD0:ModifyDate")) + "." + get("ExifIFD:SubSecTime"))
        << f;
    const std::string exposure = get("ExifIFD:ExposureTime");
    EXPECT_NEAR(seconds(ours.at("10")), exposure.empty() ? 0 : std::stod(exposure), 1e-6) << f;
    const std::string fnumber = get("ExifIFD:FNumber");
    EXPECT_EQ(ours.at("08"), format("%2.1f", {fnumber.empty() ? 0.0 : std::stod(fnumber)})) << f;
    const std::string focal = get("ExifIFD:FocalLength");
    EXPECT_EQ(ours.at("17"), format("%2.1f mm", {focal.empty() ? 0.0 : std::stod(focal)})) << f;
    const std::string flash = get("ExifIFD:Flash");
    EXPECT_TRUE(ours.at("13").ends_with("(" + (flash.empty() ? "0" : flash) + ")"))
        << f << " " << ours.at("13");
    if (get("ExifIFD:ExposureIndex").empty()) {
      const std::string iso = get("ExifIFD:ISO");
      EXPECT_EQ(ours.at("14"), iso.empty() ? "0" : iso.substr(0, iso.find(' '))) << f;
    }
  }
}

TEST_F(InfoCli, CameraParameterModeAndBadArguments) {
  const std::string pic = testing::testData("camera/Canon_40D.jpg");
  const auto r =
      testing::runProcess({kCli, "info", "--mask", std::string(27, '0'), "--camera-set", "1", pic});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("FilePath: " + pic + "\r\nサ イ ズ: 8 KB ( 7,958 bytes )\r\n"))
      << r.out;
  EXPECT_TRUE(r.out.ends_with("焦点距離: 0.0 mm\r\n")) << r.out;
  EXPECT_EQ(testing::runProcess({kCli, "info", "--mask", "101", pic}).exitCode, 2);
  EXPECT_EQ(testing::runProcess({kCli, "info", "--camera-set", "11", pic}).exitCode, 2);
  EXPECT_EQ(testing::runProcess({kCli, "info"}).exitCode, 2);
}

// Fault: info printed a record of zeros for a missing file, a folder or a FIFO named like a
// picture and ended with success, so a script took a typing error for a picture without EXIF.
TEST_F(InfoCli, SaysAFileCannotBeReadAndCarriesOnWithTheOthers) {
  testing::TempDir dir;
  const std::string good = testing::testData("camera/Canon_40D.jpg");
  const std::string missing = dir.file("missing.jpg");
  const std::string folder = dir.mkdir("folder.jpg");
  const std::string fifo = dir.file("fifo.jpg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const auto r = testing::runProcess({kCli, "info", missing, good, folder, fifo});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, missing + ": cannot read the file: No such file or directory\n" + folder +
                       ": cannot read the file: Is a directory\n" + fifo +
                       ": cannot read the file: Invalid argument\n");
  const auto items = itemsOf(r.out);
  EXPECT_EQ(items.at("01"), good) << r.out;
  EXPECT_EQ(r.out.find("missing.jpg"), std::string::npos) << r.out;
  // An empty file is read, and has nothing to show.
  const std::string empty = dir.write("empty.jpg", "");
  EXPECT_EQ(testing::runProcess({kCli, "info", empty}).exitCode, 0);
}

}  // namespace
}  // namespace sortelia::exif
