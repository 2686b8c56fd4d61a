#include "core/sorting/sorting_loop.h"

#include <gtest/gtest.h>

#include "exif/exif_writer.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::readAll;
using testing::TempDir;

// The loop as the window wires it: a session, real file operations, the loop's commands.
class LoopWiring : public ::testing::Test {
 protected:
  LoopWiring() : session(state, ui, view, ""), loop(session, files) {
    dst = root.mkdir("dst");
    session.setSlot(1, dst);
  }
  // A camera picture copied into the source folder with the given comment lines.
  std::string pictureWithComment(const std::string& name, std::vector<std::string> comment) {
    const std::string path =
        root.write("src/" + name, readAll(testing::testData("camera/Canon_40D.jpg")));
    exif::TExifInfo x;
    x.setImageFileName(path);
    x.UserComment = std::move(comment);
    exif::WriteExif(x, path);
    return path;
  }
  void scan() {
    state.list.sourceDir = root.path() + "/src/";
    session.scan().rescanSourceFolder();
  }
  TempDir root;
  std::string dst;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  fs::FileOperations files;
  SortingSession session;
  SortingLoop loop;
};

TEST_F(LoopWiring, SteppingPastAPictureWithoutEditingWritesNothing) {
  // Comments that a careless comparison would take as edited: a rotation mark followed by
  // blanks, several lines, trailing blanks.
  const std::vector<std::vector<std::string>> comments = {
      {"@090: with a blank after the mark"}, {"two", "lines  "}, {"  padded  "}, {}};
  std::vector<std::string> bytes;
  for (std::size_t i = 0; i < comments.size(); ++i) {
    bytes.push_back(readAll(pictureWithComment("IMG_" + std::to_string(i) + ".JPG", comments[i])));
  }
  scan();
  ASSERT_EQ(state.list.imageCount, static_cast<int>(comments.size()));
  view.checked[Control::SpeedButton1] = true;  // comment editing on, the field untouched
  for (std::size_t i = 0; i < comments.size(); ++i) {
    loop.transfer.Button1Click(1);
    EXPECT_EQ(readAll(dst + "/IMG_" + std::to_string(i) + ".JPG"), bytes[i]) << i;
  }
  EXPECT_TRUE(ui.messages.size() <= 1u);  // at most the "nothing left" message at the end
}

TEST_F(LoopWiring, AnEditedCommentIsWrittenBeforeTheTransfer) {
  pictureWithComment("IMG_1.JPG", {"@180:old"});
  scan();
  EXPECT_EQ(state.comment.rotationMark, "@180:");
  EXPECT_EQ(view.comment, "old");
  view.comment = "  new words  ";
  loop.transfer.Button1Click(1);
  exif::TExifInfo x;
  x.setImageFileName(dst + "/IMG_1.JPG");
  // One line, the mark kept in front, the text trimmed; the writer ends each line with CR LF.
  EXPECT_EQ(x.UserComment, std::vector<std::string>{"@180:new words\r\n"});
}

}  // namespace
}  // namespace sortelia
