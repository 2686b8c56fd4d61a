// Renaming pictures after their shooting time: the stems, the numbering of taken names, marked
// entries, refused renames, and never replacing a file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exif/rename_by_date.h"
#include "platform/path.h"
#include "support/exif_builder.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;

const std::string kDefaultMask = "110011010101110010101100000";

PhotoRecord shot(const std::string& date, const std::string& time) {
  PhotoRecord r;
  r.ShotDate = date;
  r.ShotTime = time;
  return r;
}

// Seconds since the epoch of a local date and time.
std::time_t localTime(int y, int mo, int d, int h, int mi, int s) {
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

// Fault: an unknown or malformed shooting date ("    :  :     :  :  ", "..:..:.. ..:..:..")
// still made a name such as "-              .jpg"; only digits in the places of
// YYYY:MM:DD HH:MM:SS may name a picture, every other form falls back to the file time.
TEST(RenameStem, ShootingTimeNeedsDigitsInThePlacesOfTheDateAndTime) {
  struct Case {
    const char* date;
    const char* time;
    std::optional<std::string> stem;
  };
  const Case cases[] = {
      {"2003:05:06", "12:34:56", "20030506-123456"},
      {"0000:00:00", "00:00:00", "00000000-000000"},  // digits, though no real moment
      {"    :  :  ", "  :  :  ", std::nullopt},       // the EXIF "unknown" date
      {"..:..:..", "..:..:..", std::nullopt},
      {"", "2003:05:06T12:34:56", std::nullopt},  // no blank in the EXIF value
      {"2003/05/06", "12:34:56", std::nullopt},
      {"2003:05:06", "12:34:56:00", std::nullopt},
      {"2003:05:06", "12:34:5", std::nullopt},
      {"2003:5:06", "12:34:56", std::nullopt},
      {"2003:05:06", "12:34: 6", std::nullopt},
      {"2003:05:06", "12-34-56", std::nullopt},
      {"２００３:05:06", "12:34:56", std::nullopt},  // wide digits are not digits here
      {"", "", std::nullopt},                        // no date at all
      {"..:..:/x", "1:2", std::nullopt},             // would leave the folder
      {"2003:05:06", "12:34:5\n", std::nullopt},     // control character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shootingTimeStem(shot(c.date, c.time)), c.stem) << c.date << " " << c.time;
  }
}

TEST(RenameStem, FileTimeIsShortDateAndLongTimeWithoutSeparators) {
  EXPECT_EQ(fileTimeStem(localTime(2003, 5, 6, 9, 12, 34)), "20030506-91234");
  EXPECT_EQ(fileTimeStem(localTime(2003, 12, 31, 23, 5, 7)), "20031231-230507");
  EXPECT_EQ(fileTimeStem(localTime(2010, 1, 2, 0, 0, 9)), "20100102-00009");
}

class RenameTest : public ::testing::Test {
 protected:
  std::string picture(const std::string& name, const std::string& dateTime) {
    ExifBuilder b(false);
    b.ascii(Ifd::kExif, 0x9003, dateTime);
    return dir_.write(name, testing::jpegWithSegments({b.app1()}) + name);
  }
  std::string f(const std::string& name) const { return dir_.file(name); }
  BatchReport run(const std::vector<std::string>& entries) {
    renamed_.clear();
    return renameByShootingTime(entries, loader_, options_);
  }

  testing::TempDir dir_;
  PhotoInfo info_;
  PhotoInfoLoader loader_{info_, kDefaultMask, builtInCameraParamSet()};
  std::vector<std::pair<std::string, std::string>> renamed_;
  RenameOptions options_{
      [this](const std::string& from, const std::string& to) { renamed_.emplace_back(from, to); }};
};

TEST_F(RenameTest, SecondRunMovesToTheNextFreeNameAndThirdBack) {
  const std::string p = picture("IMG_1.JPG", "2003:05:06 12:34:56");
  const std::string content = testing::readAll(p);
  const std::string plain = f("20030506-123456.JPG");
  const std::string one = f("20030506-123456_1.JPG");
  EXPECT_EQ(run({p}).done, 1);
  EXPECT_EQ(renamed_, (decltype(renamed_){{p, plain}}));
  EXPECT_EQ(run({plain}).done, 1);
  EXPECT_EQ(renamed_, (decltype(renamed_){{plain, one}}));
  EXPECT_EQ(run({one}).done, 1);
  EXPECT_EQ(renamed_, (decltype(renamed_){{one, plain}}));
  EXPECT_EQ(testing::readAll(plain), content);
  EXPECT_FALSE(fs::exists(one));
  EXPECT_FALSE(fs::exists(p));
}

// Fault: a.jpg and b.JPG of the same second became "20080530-155601.jpg" and
// "20080530-155601.JPG", which collide on a camera card; a name taken in another letter case
// is taken.
TEST_F(RenameTest, SameSecondIsNumberedIgnoringLetterCaseAndNoFileIsReplaced) {
  const std::string other = dir_.write("20030506-123456.jpg", "not in the list");
  const std::string a = picture("a.jpg", "2003:05:06 12:34:56");
  const std::string b = picture("b.JPG", "2003:05:06 12:34:56");
  const std::string c = picture("c.jpg", "2003:05:06 12:34:56");
  const std::string marked = picture("d.jpg", "2003:05:06 12:34:56");
  const BatchReport report = run({a, b, "!:" + marked, c});
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.done, 3);
  EXPECT_EQ(renamed_, (decltype(renamed_){{a, f("20030506-123456_1.jpg")},
                                          {b, f("20030506-123456_2.JPG")},
                                          {c, f("20030506-123456_3.jpg")}}));
  EXPECT_EQ(testing::readAll(other), "not in the list");
  EXPECT_TRUE(fs::exists(marked));  // a marked picture keeps its name
  EXPECT_TRUE(testing::readAll(f("20030506-123456_3.jpg")).ends_with("c.jpg"));
}

TEST_F(RenameTest, OnlyTheLetterCaseOfTheExtensionApartStillNumbers) {
  const std::string a = picture("a.jpg", "2008:05:30 15:56:01");
  const std::string b = picture("b.JPG", "2008:05:30 15:56:01");
  EXPECT_EQ(run({a, b}).done, 2);
  EXPECT_EQ(renamed_,
            (decltype(renamed_){{a, f("20080530-155601.jpg")}, {b, f("20080530-155601_1.JPG")}}));
}

TEST_F(RenameTest, ANameStaysTakenWhileAnotherLetterCaseOfItRemains) {
  // Both letter cases of one name exist, as a case-sensitive disk allows; renaming one of
  // them does not free the name for a third picture.
  const std::string lower = picture("20030506-123456.jpg", "2003:05:06 12:34:56");
  const std::string upper = picture("20030506-123456.JPG", "2003:05:06 12:34:56");
  const std::string z = picture("z.jpg", "2003:05:06 12:34:56");
  EXPECT_EQ(run({lower, z, upper}).done, 3);
  EXPECT_EQ(renamed_, (decltype(renamed_){{lower, f("20030506-123456_1.jpg")},
                                          {z, f("20030506-123456_2.jpg")},
                                          {upper, f("20030506-123456_3.JPG")}}));
}

TEST_F(RenameTest, WithoutADateTheFileTimeNamesThePicture) {
  const std::string p = dir_.write("x.Jpg", testing::jpegWithSegments({}));
  const std::string unknown = picture("u.jpg", "    :  :     :  :  ");
  const std::string dots = picture("v.jpg", "..:..:.. ..:..:..");
  const timespec times[2] = {{0, UTIME_OMIT}, {localTime(2003, 5, 6, 9, 12, 34), 0}};
  for (const std::string& file : {p, unknown, dots}) {
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  }
  EXPECT_EQ(run({p, unknown, dots}).done, 3);
  EXPECT_EQ(renamed_, (decltype(renamed_){{p, f("20030506-91234.Jpg")},
                                          {unknown, f("20030506-91234_1.jpg")},
                                          {dots, f("20030506-91234_2.jpg")}}));
}

TEST_F(RenameTest, RefusedRenamesAreReportedAndTheLoopGoesOn) {
  const std::string a = picture("a.jpg", "2001:01:01 01:01:01");
  const std::string b = picture("b.jpg", "2002:02:02 02:02:02");
  const std::string gone = f("gone.jpg");
  const std::string c = picture("c.jpg", "2003:03:03 03:03:03");
  // The file system refuses b as a read-only folder would (which root would not feel).
  options_.rename = [&](const std::string& from, const std::string& to) {
    if (from == b) return fs::FileResult::failure(EACCES, from);
    return fs::FileOperations().renameNoReplace(from, to);
  };
  const BatchReport report = run({a, b, gone, c});
  EXPECT_EQ(report.done, 2);
  ASSERT_EQ(report.failed.size(), 2u);
  EXPECT_EQ(report.failed[0].path, b);
  EXPECT_EQ(report.failed[0].text, "cannot rename \"" + b + "\" to \"" + f("20020202-020202.jpg") +
                                       "\": Permission denied");
  EXPECT_EQ(report.failed[1].path, gone);
  EXPECT_TRUE(fs::exists(b));
  EXPECT_TRUE(fs::exists(f("20010101-010101.jpg")));
  EXPECT_TRUE(fs::exists(f("20030303-030303.jpg")));
}

TEST_F(RenameTest, ANameTakenAfterTheLookIsNotReplaced) {
  const std::string p = picture("p.jpg", "2003:05:06 12:34:56");
  // Another program creates the free name between the look and the rename, once.
  bool raced = false;
  options_.rename = [&](const std::string& from, const std::string& to) {
    if (!raced) dir_.write(fs::fileNameOf(to), "raced");
    raced = true;
    return fs::FileOperations().renameNoReplace(from, to);
  };
  EXPECT_EQ(run({p}).done, 1);
  EXPECT_EQ(testing::readAll(f("20030506-123456.jpg")), "raced");
  EXPECT_EQ(renamed_, (decltype(renamed_){{p, f("20030506-123456_1.jpg")}}));
}

}  // namespace
}  // namespace sortelia::exif

namespace sortelia::exif {
namespace {

class RenameCompanions : public RenameTest {};

TEST_F(RenameCompanions, CompanionsTakeThePicturesNewStemAndShareItsNumber) {
  const std::string p = picture("IMG_1.JPG", "2003:05:06 12:34:56");
  const std::vector<std::string> companions{dir_.write("IMG_1.CR3", "raw"),
                                            dir_.write("IMG_1.JPG.xmp", "xmp"),
                                            dir_.write("img_1.MOV", "movie")};
  // Only the RAW's plain name is taken: the picture and each companion go to "_1".
  dir_.write("20030506-123456.CR3", "another raw");
  options_.companionsOf = [&](const std::string& entry) {
    return entry == p ? companions : std::vector<std::string>{};
  };
  const BatchReport report = run({p});
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.done, 1);
  const std::string stem = "20030506-123456_1";
  EXPECT_EQ(renamed_, (decltype(renamed_){{p, f(stem + ".JPG")},
                                          {companions[0], f(stem + ".CR3")},
                                          {companions[1], f(stem + ".JPG.xmp")},
                                          {companions[2], f(stem + ".MOV")}}));
  EXPECT_EQ(testing::readAll(f(stem + ".CR3")), "raw");
  EXPECT_EQ(testing::readAll(f(stem + ".JPG.xmp")), "xmp");
  EXPECT_EQ(testing::readAll(f("20030506-123456.CR3")), "another raw");
}

TEST_F(RenameCompanions, ACompanionThatCannotBeRenamedIsReportedAndTheRestGoOn) {
  const std::string p = picture("IMG_1.JPG", "2003:05:06 12:34:56");
  const std::string raw = dir_.write("IMG_1.CR3", "raw");
  const std::string xmp = dir_.write("IMG_1.xmp", "xmp");
  options_.companionsOf = [&](const std::string&) { return std::vector<std::string>{raw, xmp}; };
  options_.rename = [&](const std::string& from, const std::string& to) {
    if (from == raw) return fs::FileResult::failure(EACCES, from);
    return fs::FileOperations().renameNoReplace(from, to);
  };
  const BatchReport report = run({p});
  EXPECT_EQ(report.done, 1);
  ASSERT_EQ(report.failed.size(), 1u);
  EXPECT_EQ(report.failed[0].path, raw);
  EXPECT_EQ(testing::readAll(raw), "raw");
  EXPECT_EQ(testing::readAll(f("20030506-123456.xmp")), "xmp");
}

}  // namespace
}  // namespace sortelia::exif
