#include "platform/path.h"

#include <gtest/gtest.h>

namespace sortelia {
namespace {

TEST(Path, FolderAndFileNameParts) {
  struct Case {
    const char* path;
    const char* folder;
    const char* prefix;
    const char* name;
  };
  const Case cases[] = {
      {"/p/q/a.jpg", "/p/q", "/p/q/", "a.jpg"},
      {"/a.jpg", "/", "/", "a.jpg"},
      {"a.jpg", ".", "", "a.jpg"},
      {"/p/q/", "/p/q", "/p/q/", ""},
      {"", ".", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fs::folderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(fs::folderPrefixOf(c.path), c.prefix) << c.path;
    EXPECT_EQ(fs::fileNameOf(c.path), c.name) << c.path;
  }
}

TEST(Path, ExtensionMatchesInAnyLetterCaseAndOnlyInTheFileName) {
  EXPECT_TRUE(fs::hasExtension("/p/A.JPG", ".jpg"));
  EXPECT_TRUE(fs::hasExtension("/p/clip.MPG", ".mpg"));
  EXPECT_FALSE(fs::hasExtension("/p/a.jpeg", ".jpg"));
  EXPECT_FALSE(fs::hasExtension("/p.jpg/noext", ".jpg"));
  EXPECT_FALSE(fs::hasExtension("/p/jpg", ".jpg"));
}

TEST(Path, TrailingSlashesAndTrims) {
  EXPECT_EQ(fs::withoutTrailingSlashes("/p/q//"), "/p/q");
  EXPECT_EQ(fs::withoutTrailingSlashes("/"), "/");
  EXPECT_EQ(fs::withoutTrailingSlashes("///"), "/");
  EXPECT_EQ(text::trimBlanks(" \tFILE \t"), "FILE");
  EXPECT_EQ(text::trimBlanks("\r\nx\r\n"), "\r\nx\r\n");
  EXPECT_EQ(text::trimWhitespace("\r\n x \v\f"), "x");
  EXPECT_EQ(text::trimWhitespace("   "), "");
}

}  // namespace
}  // namespace sortelia
