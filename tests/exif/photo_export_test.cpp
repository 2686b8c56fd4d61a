// The photo information export: which entries are written, the record format, the file
// encoding, replacing old files, and failures reported instead of lost.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "exif/photo_export.h"
#include "platform/file_ops.h"
#include "platform/text_codec.h"
#include "support/exif_builder.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;

const std::string kDefaultMask = "110011010101110010101100000";

class PhotoExportTest : public ::testing::Test {
 protected:
  std::string picture(const std::string& name, const std::string& model) {
    ExifBuilder b(false);
    b.ascii(Ifd::kIfd0, 0x0110, model).ascii(Ifd::kExif, 0x9003, "2003:05:06 12:34:56");
    return dir_.write(name, testing::jpegWithSegments({b.app1()}));
  }
  // The information text of path as the program shows it, read with a loader of its own.
  std::string textOf(const std::string& path) {
    PhotoInfo info;
    info.GetPdata(path, kDefaultMask, builtInCameraParamSet());
    return info.MakeDspPdat(kDefaultMask);
  }
  // Five entries: two pictures and a movie to export, one marked, one deleted meanwhile.
  std::vector<std::string> fiveEntries() {
    const std::string a = picture("A.JPG", "CamA");
    const std::string b = picture("B.JPG", "CamB");
    const std::string c = picture("C.JPG", "CamC");
    const std::string m = dir_.write("M.MOV", "not a picture at all");
    const std::string e = picture("E.jpg", "CamE");
    std::remove(c.c_str());
    return {a, "!:" + b, c, m, e};
  }
  std::vector<std::string> exportedOf(const std::vector<std::string>& entries) {
    return {entries[0], entries[3], entries[4]};
  }

  testing::TempDir dir_;
  PhotoInfo info_;
  PhotoInfoLoader loader_{info_, kDefaultMask, builtInCameraParamSet()};
  std::vector<std::pair<std::string, std::string>> written_;
  ExportedCallback record_ = [this](const std::string& p, const std::string& f) {
    written_.emplace_back(p, f);
  };
};

TEST_F(PhotoExportTest, AllInOneWritesOneRecordPerExistingUnmarkedEntry) {
  const auto entries = fiveEntries();
  const BatchReport report = exportAllInOne(entries, dir_.path() + "/", loader_, record_);
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.done, 3);
  std::string expected;
  for (const std::string& p : exportedOf(entries)) expected += textOf(p) + "\r\n\r\n";
  const std::string bytes = testing::readAll(dir_.file("_Photo.txt"));
  EXPECT_EQ(text::fromCp932(bytes), expected);
  EXPECT_FALSE(text::isValidUtf8(bytes));  // the labels went out in CP932
  const std::string target = dir_.file("_Photo.txt");
  EXPECT_EQ(written_,
            (decltype(written_){{entries[0], target}, {entries[3], target}, {entries[4], target}}));
  // The movie has a record of its own, with the empty values of a file without EXIF data.
  EXPECT_NE(expected.find("01:画像ファイル名 ------> " + entries[3] +
                          "\r\n02:撮影日時 ---"
                          "---------> .\r\n"),
            std::string::npos);
  // The loader now describes the last exported file.
  EXPECT_EQ(info_.record.FilePath, entries[4]);
}

TEST_F(PhotoExportTest, EachPictureGetsItsOwnFileReplacingAnOldOne) {
  const auto entries = fiveEntries();
  dir_.write("E.txt", "an old export\r\n");
  const BatchReport report = exportEachPicture(entries, loader_, record_);
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.done, 3);
  for (const std::string& p : exportedOf(entries)) {
    const std::string txt = infoFileNameOf(p);
    EXPECT_EQ(text::fromCp932(testing::readAll(txt)), textOf(p) + "\r\n\r\n") << txt;
  }
  EXPECT_FALSE(fs::exists(dir_.file("B.txt")));
  EXPECT_FALSE(fs::exists(dir_.file("C.txt")));
  EXPECT_EQ(written_.size(), 3u);
  EXPECT_EQ(written_[2], std::make_pair(entries[4], dir_.file("E.txt")));
}

TEST_F(PhotoExportTest, InfoFileNames) {
  EXPECT_EQ(infoFileNameOf("/d/IMG_7.JPG"), "/d/IMG_7.txt");
  EXPECT_EQ(infoFileNameOf("/d.x/a.b.mov"), "/d.x/a.b.txt");
  EXPECT_EQ(infoFileNameOf("/d.x/noext"), "/d.x/noext.txt");
}

TEST_F(PhotoExportTest, TextOutsideCp932IsWrittenInUtf8) {
  const std::string p = picture("😀.jpg", "Cam");
  ASSERT_TRUE(exportAllInOne({p}, dir_.path() + "/", loader_).ok());
  EXPECT_EQ(testing::readAll(dir_.file("_Photo.txt")), textOf(p) + "\r\n\r\n");
}

// Fault: a picture name that is not UTF-8 went into "_Photo.txt" as raw bytes, giving a file
// that is neither CP932 nor UTF-8.
TEST_F(PhotoExportTest, NamesThatAreNotUtf8AreEscapedSoTheFileIsAlwaysValid) {
  const std::string cp932Name = picture("\xB6\xD2\xD7.jpg", "Cam");  // "ｶﾒﾗ.jpg" in CP932
  // Every character fits CP932: the file is CP932, the stray bytes escaped.
  ASSERT_TRUE(exportAllInOne({cp932Name}, dir_.path() + "/", loader_).ok());
  const std::string cp932File = testing::readAll(dir_.file("_Photo.txt"));
  const std::string asText = text::fromCp932(cp932File);
  EXPECT_EQ(text::toCp932(asText), cp932File) << "not CP932";
  EXPECT_EQ(asText.find("\xEF\xBF\xBD"), std::string::npos) << "not CP932";
  EXPECT_NE(asText.find("\\xb6\\xd2\\xd7.jpg"), std::string::npos) << asText;
  EXPECT_EQ(asText, text::escapeInvalidUtf8(textOf(cp932Name)) + "\r\n\r\n");

  // With a character outside CP932 the file is UTF-8, still valid, the same escapes in it.
  const std::string mixed = picture("😀\xFF.jpg", "Cam");
  ASSERT_TRUE(exportAllInOne({cp932Name, mixed}, dir_.path() + "/", loader_).ok());
  const std::string utf8File = testing::readAll(dir_.file("_Photo.txt"));
  EXPECT_TRUE(text::isValidUtf8(utf8File));
  EXPECT_NE(utf8File.find("\\xb6\\xd2\\xd7.jpg"), std::string::npos);
  EXPECT_NE(utf8File.find("😀\\xff.jpg"), std::string::npos);

  // The per-picture file of such a name alike.
  ASSERT_TRUE(exportEachPicture({mixed}, loader_).ok());
  EXPECT_TRUE(text::isValidUtf8(testing::readAll(infoFileNameOf(mixed))));
}

TEST_F(PhotoExportTest, WriteFailuresAreReported) {
  const auto entries = fiveEntries();
  // A folder where a text file should go cannot be replaced, not even by root.
  dir_.mkdir("A.txt");
  const BatchReport each = exportEachPicture(entries, loader_);
  EXPECT_EQ(each.done, 2);
  ASSERT_EQ(each.failed.size(), 1u);
  EXPECT_EQ(each.failed[0].path, entries[0]);
  EXPECT_EQ(each.failed[0].text, "cannot write \"" + dir_.file("A.txt") + "\": Is a directory");
  EXPECT_TRUE(fs::isRegularFile(dir_.file("E.txt")));  // the export went on

  dir_.mkdir("_Photo.txt");
  const BatchReport all = exportAllInOne(entries, dir_.path() + "/", loader_);
  EXPECT_EQ(all.done, 0);
  ASSERT_EQ(all.failed.size(), 1u);
  EXPECT_EQ(all.failed[0].path, dir_.file("_Photo.txt"));
}

// Fault: a read-only "_Photo.txt" or per-picture ".txt" was replaced through the atomic
// rename and the export reported success.
TEST_F(PhotoExportTest, ReadOnlyTextFilesAreKeptAndTheFailureNamesTheCause) {
  const auto entries = fiveEntries();
  const std::string oldEach = dir_.write("A.txt", "read-only export");
  const std::string oldAll = dir_.write("_Photo.txt", "read-only all");
  for (const std::string& p : {oldEach, oldAll}) ASSERT_EQ(::chmod(p.c_str(), 0444), 0);

  const BatchReport each = exportEachPicture(entries, loader_);
  EXPECT_EQ(each.done, 2);
  ASSERT_EQ(each.failed.size(), 1u);
  EXPECT_EQ(each.failed[0].path, entries[0]);
  EXPECT_EQ(each.failed[0].text, "cannot write \"" + oldEach + "\": Permission denied");
  EXPECT_EQ(testing::readAll(oldEach), "read-only export");

  const BatchReport all = exportAllInOne(entries, dir_.path() + "/", loader_);
  EXPECT_EQ(all.done, 0);
  ASSERT_EQ(all.failed.size(), 1u);
  EXPECT_EQ(all.failed[0].text, "cannot write \"" + oldAll + "\": Permission denied");
  EXPECT_EQ(testing::readAll(oldAll), "read-only all");
}

TEST_F(PhotoExportTest, AnEntryThatIsItsOwnTextFileIsNotOverwritten) {
  const std::string notes = dir_.write("notes.txt", "keep me");
  const BatchReport report = exportEachPicture({notes}, loader_);
  EXPECT_EQ(report.failed.size(), 1u);
  EXPECT_EQ(testing::readAll(notes), "keep me");
}

// Fault found earlier: a picture and a movie of one stem ("IMG_1.JPG", "IMG_1.MOV") both wrote
// "IMG_1.txt": the movie's record replaced the picture's, and both were reported as written.
TEST_F(PhotoExportTest, TwoEntriesOfOneStemDoNotReplaceEachOthersFile) {
  const std::string jpg = picture("IMG_1.JPG", "CamA");
  const std::string mov = dir_.write("IMG_1.MOV", "not a picture at all");
  const std::string other = picture("IMG_2.JPG", "CamB");
  const BatchReport report = exportEachPicture({jpg, mov, other}, loader_, record_);
  EXPECT_EQ(report.done, 2);
  ASSERT_EQ(report.failed.size(), 1u);
  EXPECT_EQ(report.failed[0].path, mov);
  EXPECT_EQ(report.failed[0].text, "\"" + mov + "\" would replace the information of \"" + jpg +
                                       "\" in \"" + dir_.file("IMG_1.txt") + "\"");
  EXPECT_EQ(text::fromCp932(testing::readAll(dir_.file("IMG_1.txt"))), textOf(jpg) + "\r\n\r\n");
  EXPECT_EQ(written_,
            (decltype(written_){{jpg, dir_.file("IMG_1.txt")}, {other, dir_.file("IMG_2.txt")}}));
}

}  // namespace
}  // namespace sortelia::exif
