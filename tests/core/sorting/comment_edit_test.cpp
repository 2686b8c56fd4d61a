#include "core/sorting/comment_edit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/display/image_list.h"
#include "core/sorting_fixture.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "platform/file_ops.h"
#include "support/raw_builder.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::readAll;

// The UserComment items a file holds now.
std::vector<std::string> storedComment(const std::string& path) {
  exif::TExifInfo info;
  info.setImageFileName(path);
  return info.UserComment;
}

class CommentEdit : public testing::SortingFixture {
 protected:
  // A picture in src with the given comment items (none: no EXIF segment at all).
  std::string picture(const std::string& name, const std::vector<std::string>& comment) {
    const std::string path = root.write("src/" + name, testing::makeTestJpeg(32, 24));
    if (!comment.empty()) {
      exif::TExifInfo info;
      info.UserComment = comment;
      exif::WriteExif(info, path);
    }
    return path;
  }
  // Shows entry n through the display: the photo data put the comment into Edit3.
  void show(int n) { session.display().ShowEntry(n); }
  struct Stamp {
    std::string bytes;
    timespec mtime;
  };
  static Stamp stamp(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {readAll(path), st.st_mtim};
  }
};

TEST_F(CommentEdit, TheFieldShowsTheCommentTrimmedWithoutItsRotationMark) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"  hello \r\n"}, "hello"},
      {{"@090:hello\r\n"}, "hello"},
      {{"first\r\nsecond\r\n"}, "first\r\nsecond"},
      {{" @180: x"}, " x"},  // trimmed first, so the mark counts
      {{}, ""},
  };
  for (const auto& [comment, field] : cases) {
    picture("a.jpg", comment);
    scan({});
    EXPECT_EQ(view.comment, field);
    EXPECT_EQ(state.comment.loadedText, field);
    ::unlink(s("a.jpg").c_str());
  }
}

// Stepping past a picture whose field nobody touched leaves the file as it was, byte for
// byte, whatever the comment holds and however the photo data were read.
TEST_F(CommentEdit, AnUntouchedFieldNeverRewritesThePicture) {
  std::string longJapanese = "@090:";
  for (int i = 0; i < 600; ++i) longJapanese += "写";
  const std::string itemMode = exif::kDefaultExifItemMask;
  const std::string cameraMode(27, '0');  // no item chosen: camera parameter mode
  struct Case {
    const char* what;
    std::string mask;
    std::function<std::string()> make;
  };
  const std::string canon = testing::testData("camera/Canon_40D.jpg");
  const Case cases[] = {
      {"camera parameter mode, camera picture", cameraMode,
       [&] { return root.write("src/a.jpg", readAll(canon)); }},
      {"camera parameter mode, commented picture", cameraMode,
       [&] { return picture("a.jpg", {"a comment"}); }},
      {"camera parameter mode, no EXIF at all", cameraMode, [&] { return picture("a.jpg", {}); }},
      {"lone LF", itemMode, [&] { return picture("a.jpg", {"one\ntwo"}); }},
      {"lone CR", itemMode, [&] { return picture("a.jpg", {"one\rtwo"}); }},
      {"600 characters after a mark", itemMode, [&] { return picture("a.jpg", {longJapanese}); }},
      {"EXIF behind other segments", itemMode,
       [&] {
         return root.write("src/a.jpg",
                           readAll(testing::testData("camera/orientation_landscape_6.jpg")));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    state.options.exifItemMask = c.mask;
    const std::string a = c.make();
    picture("b.jpg", {"next"});
    const std::string before = readAll(a);
    scan({});
    bind(1, dst);
    state.options.keepOriginal = false;
    transfer.Button1Click(1);
    ASSERT_TRUE(fs::exists(d("a.jpg")));
    EXPECT_EQ(readAll(d("a.jpg")), before);
    ::unlink(d("a.jpg").c_str());
    ::unlink(s("b.jpg").c_str());
  }
}

TEST_F(CommentEdit, SteppingPastAnUntouchedCommentWritesNothing) {
  const std::string a = picture("a.jpg", {"@090:  a comment"});
  picture("b.jpg", {"x"});
  scan({});
  show(1);
  EXPECT_EQ(view.comment, "  a comment");  // trimmed before the mark is taken off
  EXPECT_EQ(state.comment.rotationMark, "@090:");
  const Stamp before = stamp(a);
  bind(1, dst);
  state.options.keepOriginal = true;
  transfer.Button1Click(1);
  const Stamp after = stamp(a);
  EXPECT_EQ(after.bytes, before.bytes);
  EXPECT_EQ(after.mtime.tv_sec, before.mtime.tv_sec);
  EXPECT_EQ(after.mtime.tv_nsec, before.mtime.tv_nsec);
  EXPECT_EQ(readAll(d("a.jpg")), before.bytes);
}

TEST_F(CommentEdit, TypedTextIsStoredTrimmedAsOneLineAndTravelsWithTheTransfer) {
  picture("a.jpg", {"old"});
  picture("b.jpg", {});
  scan({});
  show(1);
  view.comment = "  word  ";
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_EQ(storedComment(d("a.jpg")), std::vector<std::string>{"word\r\n"});
  EXPECT_FALSE(fs::exists(s("a.jpg")));
}

TEST_F(CommentEdit, NewTextKeepsTheRotationMark) {
  const std::string a = picture("a.jpg", {"@090:old text"});
  scan({});
  show(1);
  view.comment = "new text";
  EXPECT_TRUE(comments.RewriteCMT(1));
  EXPECT_EQ(storedComment(a), std::vector<std::string>{"@090:new text\r\n"});
  EXPECT_FALSE(comments.RewriteCMT(1));  // written already: nothing more to do
}

TEST_F(CommentEdit, RotationIsPutInFrontAndTakenOffAgain) {
  const std::string a = picture("a.jpg", {"a comment"});
  scan({});
  show(1);
  state.comment.rotationMark = "@090:";
  EXPECT_TRUE(comments.RewriteCMT(1));
  EXPECT_EQ(storedComment(a), std::vector<std::string>{"@090:a comment\r\n"});
  show(1);
  EXPECT_EQ(view.comment, "a comment");
  state.comment.rotationMark = "";
  EXPECT_TRUE(comments.RewriteCMT(1));
  show(1);
  EXPECT_EQ(view.comment, "a comment");
  EXPECT_EQ(ExtractRotationMark(storedComment(a).front()), "");
}

// Fault found earlier: turning a picture whose comment already carried a rotation mark kept
// only 512 characters behind the new mark, so a longer comment the person never touched lost
// its end each time the picture was turned again.
TEST_F(CommentEdit, TurningAPictureAgainKeepsAllOfALongComment) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += "写";
  text += " end";
  const std::string a = picture("a.jpg", {"@090:" + text});
  scan({});
  show(1);
  EXPECT_EQ(view.comment.size(), 512u * 3);  // the field shows the first 512 characters
  for (const char* mark : {"@180:", "", "@270:"}) {
    state.comment.rotationMark = mark;
    EXPECT_TRUE(comments.RewriteCMT(1)) << mark;
    EXPECT_EQ(storedComment(a), std::vector<std::string>{mark + text + "\r\n"}) << mark;
    show(1);
  }
}

TEST_F(CommentEdit, NothingIsWrittenForAMovieOrAnotherEntry) {
  const std::string a = picture("a.jpg", {"one"});
  const std::string m = root.write("src/m.mov", "movie bytes");
  scan({});
  show(1);
  view.comment = "changed";
  EXPECT_FALSE(comments.RewriteCMT(2));  // the field belongs to entry 1
  EXPECT_FALSE(comments.RewriteCMT(0));
  EXPECT_FALSE(comments.RewriteCMT(9));
  comments.noteNoPicture();  // a movie is shown
  EXPECT_FALSE(view.commentVisible);
  EXPECT_FALSE(comments.RewriteCMT(1));
  EXPECT_FALSE(comments.RewriteCMT(2));
  EXPECT_EQ(readAll(m), "movie bytes");
  EXPECT_EQ(storedComment(a), std::vector<std::string>{"one\r\n"});
}

TEST_F(CommentEdit, AHeifOrRawPictureShowsThatCommentsGoIntoJpegFilesOnly) {
  const std::string heic =
      root.write("src/b.HEIC", readAll(testing::testData("heif/canon_40d.heic")));
  const std::string raw = root.write(
      "src/c.NEF", testing::exifTiffOf(readAll(testing::testData("camera/Nikon_D70.jpg"))));
  picture("a.jpg", {"one"});
  scan({});
  ASSERT_EQ(state.list.images.size(), 3u);
  view.setChecked(Control::SpeedButton1, true);
  for (int n : {2, 3}) {
    SCOPED_TRACE(n);
    const std::string path = n == 2 ? heic : raw;
    const std::string before = readAll(path);
    show(n);
    EXPECT_TRUE(view.commentVisible);
    EXPECT_TRUE(view.commentReadOnly);
    EXPECT_EQ(view.comment, "コメントはJPEGファイルにだけ書き込めます。");
    // Whatever the field holds, nothing is written into the file.
    view.comment = "typed anyway";
    EXPECT_FALSE(comments.RewriteCMT(n));
    EXPECT_EQ(readAll(path), before);
    // The edit button shows and hides the note.
    view.setChecked(Control::SpeedButton1, false);
    comments.SpeedButton1Click();
    EXPECT_FALSE(view.commentVisible);
    view.setChecked(Control::SpeedButton1, true);
    comments.SpeedButton1Click();
    EXPECT_TRUE(view.commentVisible);
  }
  // Back on the JPEG the field takes text again.
  show(1);
  EXPECT_FALSE(view.commentReadOnly);
  EXPECT_EQ(view.comment, "one");
  state.options.japaneseMode = false;
  show(2);
  EXPECT_EQ(view.comment, "Comments can be written into JPEG files only.");
}

TEST_F(CommentEdit, AFailedWriteStopsTheTransferBeforeItStarts) {
  const std::string a = root.write("src/a.jpg", "not a jpeg");
  scan({});
  comments.noteShownPicture(a, {});
  view.comment = "changed";
  bind(1, dst);
  EXPECT_THROW(transfer.Button1Click(1), exif::ExifWriteError);
  EXPECT_EQ(readAll(a), "not a jpeg");
  EXPECT_FALSE(fs::exists(d("a.jpg")));
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(state.list.sortIndex, 1);
}

TEST_F(CommentEdit, EditButtonShowsTheFieldAndTheRedStatus) {
  picture("a.jpg", {"c"});
  scan({});
  show(1);
  view.setChecked(Control::SpeedButton1, true);
  comments.SpeedButton1Click();
  EXPECT_TRUE(view.commentVisible);
  EXPECT_TRUE(view.statusRed);
  EXPECT_EQ(ui.status(), "☆↑★↑☆【 Exif定義のユーザーコメントを編集します 】☆↑★↑☆");
  EXPECT_EQ(view.commentRect, (Rect{1, view.areaHeight - 21, view.areaWidth - 1, 21}));
  EXPECT_GE(view.commentFocusCalls, 1);
  view.setChecked(Control::SpeedButton1, false);
  comments.SpeedButton1Click();
  EXPECT_FALSE(view.commentVisible);
  EXPECT_FALSE(view.statusRed);
  // Without a picture the field stays hidden even with the button down.
  comments.noteNoPicture();
  view.setChecked(Control::SpeedButton1, true);
  comments.SpeedButton1Click();
  EXPECT_FALSE(view.commentVisible);
}

// A read-only picture is protected: an edited comment is not written into it, the error says
// why, and the transfer does not start.
TEST_F(CommentEdit, AReadOnlyPictureRefusesTheCommentAndStaysWhereItIs) {
  const std::string a = picture("a.jpg", {"old"});
  ASSERT_EQ(::chmod(a.c_str(), 0444), 0);
  const std::string before = readAll(a);
  scan({});
  view.comment = "new";
  bind(1, dst);
  try {
    transfer.Button1Click(1);
    ADD_FAILURE() << "the write was not refused";
  } catch (const exif::ExifWriteError& e) {
    EXPECT_EQ(std::string(e.what()), a + " を書き込めません: Permission denied");
  }
  EXPECT_EQ(readAll(a), before);
  EXPECT_FALSE(fs::exists(d("a.jpg")));
  EXPECT_TRUE(state.undo.lines.empty());
}

}  // namespace
}  // namespace sortelia
