// The folder or file the program is started with, opened over real folders.
#include <gtest/gtest.h>

#include "core/session/main_commands.h"
#include "core/sorting_fixture.h"

namespace sortelia {
namespace {

using testing::SortingFixture;

TEST(StartPathOf, ResolvesArgumentsAndFileUrisToAbsolutePaths) {
  const struct {
    const char* argument;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"/p/photos", "/p/photos"},
      {"/p/photos///", "/p/photos"},
      {"/", "/"},
      {"photos/", "/home/u/photos"},
      {".", "/home/u"},
      {"./a/../b/./IMG 1.JPG", "/home/u/b/IMG 1.JPG"},
      {"../../../x", "/x"},
      {"/p//q/.././r", "/p/r"},
      {"file:///p/%E5%86%99%E7%9C%9F/a%20b.jpg", "/p/写真/a b.jpg"},
      {"file://localhost/p/x/", "/p/x"},
      {"file:/p/x", "/p/x"},
      {"file:///p/100%25/bad%zz%4", "/p/100%/bad%zz%4"},
      {"file:///p/x?query#frag", "/p/x"},
      {"file://otherhost/p/x", ""},
      {"file://", ""},
      {"file:relative", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(startPathOf(c.argument, "/home/u"), c.expected) << c.argument;
  }
}

class StartPath : public SortingFixture {
 protected:
  StartPath() : other(root.mkdir("other")) {}
  // The folder "other" with its pictures, distinct from src.
  void fillOther(const std::vector<std::string>& names) {
    for (const auto& n : names) root.write("other/" + n, bytesOf(n));
  }
  std::string o(const std::string& name) const { return other + "/" + name; }
  std::string lastShownPath() const { return view.shown.empty() ? "" : view.shown.back().path; }

  std::string other;
};

TEST_F(StartPath, AFolderBecomesTheSourceFolderAndIsScanned) {
  scan({"s1.jpg"});
  fillOther({"b.JPG", "a.jpg", "c.mov"});
  for (const std::string& arg : {other, other + "//", "file://" + other + "/"}) {
    SCOPED_TRACE(arg);
    forget();
    EXPECT_TRUE(OpenStartPath(session, arg, "/"));
    EXPECT_EQ(state.list.sourceDir, other + "/");
    EXPECT_EQ(state.list.images, (std::vector<std::string>{o("a.jpg"), o("b.JPG"), o("c.mov")}));
    EXPECT_EQ(state.list.sortIndex, 1);
    EXPECT_EQ(lastShownPath(), o("a.jpg"));
    EXPECT_TRUE(ui.messages.empty());
  }
  // Relative to the working folder of the start.
  EXPECT_TRUE(OpenStartPath(session, "src", root.path()));
  EXPECT_EQ(state.list.sourceDir, src + "/");
}

TEST_F(StartPath, AFileOpensItsFolderAndIsShownFirst) {
  fillOther({"a.jpg", "b.jpg", "c.jpg", "notes.txt"});
  const std::size_t before = view.shown.size();
  EXPECT_TRUE(OpenStartPath(session, "../other/b.jpg", src));
  EXPECT_EQ(state.list.sourceDir, other + "/");
  EXPECT_EQ(state.list.imageCount, 3);
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(lastShownPath(), o("b.jpg"));
  EXPECT_EQ(view.shown.size(), before + 1) << "no other picture is shown on the way";

  // The next step goes on from there: a transfer shows c.jpg.
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_TRUE(fs::exists(d("b.jpg")));
  EXPECT_EQ(lastShownPath(), o("c.jpg"));

  // A file that is not in the list opens its folder at the first picture.
  EXPECT_TRUE(OpenStartPath(session, o("notes.txt"), "/"));
  EXPECT_EQ(state.list.sourceDir, other + "/");
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(lastShownPath(), o("a.jpg"));
}

TEST_F(StartPath, MissingOrUnlistablePathIsToldAndChangesNothing) {
  scan({"s1.jpg", "s2.jpg"});
  root.write("plain.jpg", "x");
  const struct {
    std::string argument;
    std::string japanese;
    std::string english;
  } cases[] = {
      {root.path() + "/gone",
       "指定されたフォルダ・ファイルを開けません: No such file or directory\r\n"
       "別のフォルダを後から指定しましょう！\r\n  名前[ " +
           root.path() + "/gone ]",
       "Cannot Open the Folder or File: No such file or directory\r\n"
       "Select Another Folder, Later.\r\n  Name [ " +
           root.path() + "/gone ]"},
      {root.path() + "/plain.jpg/x",
       "指定されたフォルダ・ファイルを開けません: Not a directory\r\n"
       "別のフォルダを後から指定しましょう！\r\n  名前[ " +
           root.path() + "/plain.jpg/x ]",
       "Cannot Open the Folder or File: Not a directory\r\n"
       "Select Another Folder, Later.\r\n  Name [ " +
           root.path() + "/plain.jpg/x ]"},
      {"file://elsewhere/p",
       "指定されたフォルダ・ファイルを開けません: Invalid argument\r\n"
       "別のフォルダを後から指定しましょう！\r\n  名前[ file://elsewhere/p ]",
       "Cannot Open the Folder or File: Invalid argument\r\n"
       "Select Another Folder, Later.\r\n  Name [ file://elsewhere/p ]"},
  };
  int passes = 0;
  session.setDeletionPass([&] { ++passes; });
  for (const auto& c : cases) {
    for (const bool japanese : {true, false}) {
      SCOPED_TRACE(c.argument);
      state.options.japaneseMode = japanese;
      forget();
      EXPECT_FALSE(OpenStartPath(session, c.argument, "/"));
      EXPECT_EQ(messageTexts(), std::vector<std::string>{japanese ? c.japanese : c.english});
      EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
      EXPECT_EQ(state.list.sourceDir, src + "/");
      EXPECT_EQ(state.list.imageCount, 2);
      EXPECT_TRUE(view.shown.empty());
    }
  }
  EXPECT_EQ(passes, 0);
}

TEST_F(StartPath, MarkedPicturesAreDeletedBeforeTheNewFolderIsOpened) {
  scan({"a.jpg", "b.jpg"});
  fillOther({"x.jpg"});
  marks.MrkDelImg(0);
  ui.queueAnswer(Answer::Yes);  // the deletion pass asks once
  EXPECT_TRUE(OpenStartPath(session, other, "/"));
  EXPECT_FALSE(fs::exists(s("a.jpg")));
  EXPECT_TRUE(fs::exists(s("b.jpg")));
  EXPECT_EQ(state.list.images, std::vector<std::string>{o("x.jpg")});
}

TEST_F(StartPath, CaptionIsComposedForTheNewFolderAndViewerModeEnds) {
  scan({"a.jpg", "b.jpg"});
  fillOther({"x.jpg", "y.jpg"});
  std::vector<std::string> captionsFor;  // the source folder each time the caption is composed
  session.setCaptionComposer([&] { captionsFor.push_back(state.list.sourceDir); });
  state.list.viewerMode = true;
  EXPECT_TRUE(OpenStartPath(session, o("y.jpg"), "/"));
  EXPECT_EQ(captionsFor, std::vector<std::string>{other + "/"});
  EXPECT_FALSE(state.list.viewerMode);
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(lastShownPath(), o("y.jpg"));
}

}  // namespace
}  // namespace sortelia
