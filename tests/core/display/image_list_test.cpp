#include "core/display/image_list.h"

#include <gtest/gtest.h>

namespace sortelia {
namespace {

TEST(ChkDMRK, StripsTheMarkOnlyAtTheStart) {
  std::string path;
  EXPECT_TRUE(ChkDMRK("!:/p/a.jpg", path));
  EXPECT_EQ(path, "/p/a.jpg");
  EXPECT_FALSE(ChkDMRK("/p/!:a.jpg", path));
  EXPECT_EQ(path, "/p/!:a.jpg");
  EXPECT_FALSE(ChkDMRK("!", path));
  EXPECT_EQ(path, "!");
  EXPECT_TRUE(ChkDMRK("!:", path));
  EXPECT_EQ(path, "");
}

TEST(RotationMark, ExtractOnlyTheThreeMarks) {
  EXPECT_EQ(ExtractRotationMark("@090:Hello"), "@090:");
  EXPECT_EQ(ExtractRotationMark("@180:"), "@180:");
  EXPECT_EQ(ExtractRotationMark("@270:x"), "@270:");
  EXPECT_EQ(ExtractRotationMark("@000:x"), "");
  EXPECT_EQ(ExtractRotationMark("@90:x"), "");
  EXPECT_EQ(ExtractRotationMark("x@090:"), "");
  EXPECT_EQ(ExtractRotationMark(""), "");
}

TEST(RotationMark, ApplyReplacesAddsOrRemoves) {
  std::string t = "@090:Trip";
  ApplyRotationMark("@180:", t);
  EXPECT_EQ(t, "@180:Trip");
  t = "@270:Trip";
  ApplyRotationMark("", t);
  EXPECT_EQ(t, "Trip");
  t = "Trip";
  ApplyRotationMark("@090:", t);
  EXPECT_EQ(t, "@090:Trip");
  t = "";
  ApplyRotationMark("", t);
  EXPECT_EQ(t, "");
}

TEST(RotationMark, ApplyKeepsAtMost512CharactersWithoutSplittingOne) {
  std::string t = "@090:" + std::string(600, 'a');
  ApplyRotationMark("@180:", t);
  EXPECT_EQ(t, "@180:" + std::string(512, 'a'));
  // Characters, not bytes: 511 ASCII characters and two three-byte ones keep the first of them.
  t = "@090:" + std::string(511, 'a') + "日本";
  ApplyRotationMark("", t);
  EXPECT_EQ(t, std::string(511, 'a') + "日");
  // 400 Japanese characters (1200 bytes) are kept whole.
  std::string jp;
  for (int i = 0; i < 400; ++i) jp += "写";
  t = "@270:" + jp;
  ApplyRotationMark("@090:", t);
  EXPECT_EQ(t, "@090:" + jp);
}

TEST(SortImageList, CaseInsensitiveStableFullPathOrder) {
  std::vector<std::string> v{"/p/m.MOV", "/p/B.JPG", "/p/a.jpg"};
  sortImageList(v);
  EXPECT_EQ(v, (std::vector<std::string>{"/p/a.jpg", "/p/B.JPG", "/p/m.MOV"}));
  // Entries equal but for case keep their relative order.
  std::vector<std::string> w{"/p/X.jpg", "/p/x.jpg", "/p/a.jpg"};
  sortImageList(w);
  EXPECT_EQ(w, (std::vector<std::string>{"/p/a.jpg", "/p/X.jpg", "/p/x.jpg"}));
}

}  // namespace
}  // namespace sortelia
