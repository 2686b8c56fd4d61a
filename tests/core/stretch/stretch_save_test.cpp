// The reduced-size save window's rules without a window: the size fields, the preview and the
// save, the exclusive effects, and the command that opens the window and offers the rescan.
#include "core/stretch/stretch_save.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/sorting_fixture.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_size.h"
#include "outputs/reduce_pipeline.h"
#include "platform/file_ops.h"
#include "support/exif_builder.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::readAll;

class RecordingWindow : public StretchWindow {
 public:
  std::vector<std::string> captions;
  std::function<void()> whileShown;
  void showModal(const std::string& caption) override {
    captions.push_back(caption);
    if (whileShown) whileShown();
  }
};

class StretchSaveTest : public testing::SortingFixture {
 protected:
  StretchSaveTest() : save(session) {}
  void openPicture(int w, int h) {
    auto picture = std::make_shared<imaging::Bitmap>(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w * 3; ++x) picture->row(y)[x] = static_cast<std::uint8_t>(x + y * 3);
    save.open(picture, s("IMG_0001.JPG"));
  }
  StretchSave save;
};

TEST_F(StretchSaveTest, FieldsKeepTheAspectRatioWithinThePicture) {
  openPicture(3000, 2000);
  EXPECT_EQ(std::pair(save.width(), save.height()), std::pair(3000, 2000));
  struct Row {
    bool widthField;
    int typed, w, h;
  } rows[] = {
      {true, 641, 641, 427}, {false, 427, 640, 427},  // 640.5 ties to even
      {true, 639, 639, 426}, {true, 5000, 3000, 2000}, {false, 9999, 3000, 2000},
      {true, -7, 0, 0},      {false, 1, 2, 1},         {true, 1, 1, 1},  // 0.67 -> 1
      {false, 0, 0, 0},
  };
  for (const Row& r : rows) {
    if (r.widthField) {
      save.Edit1Exit(r.typed);
    } else {
      save.Edit2Exit(r.typed);
    }
    EXPECT_EQ(std::pair(save.width(), save.height()), std::pair(r.w, r.h))
        << (r.widthField ? "width " : "height ") << r.typed;
  }
}

TEST_F(StretchSaveTest, PreviewSettlesTheFieldsAndSaveNeedsACurrentPreview) {
  openPicture(3000, 2000);
  EXPECT_TRUE(save.previewCurrent()) << "the picture itself is the first preview";
  save.Edit1Exit(641);
  save.Button1Click();
  EXPECT_EQ(std::pair(save.previewWidth(), save.previewHeight()), std::pair(641, 427));
  EXPECT_EQ(std::pair(save.width(), save.height()), std::pair(640, 427));
  save.Button2Click();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"[ビュー]してから実行しましょう！"});
  EXPECT_FALSE(fs::exists(s("0_IMG_0001-641x427-8.jpg")));
  EXPECT_FALSE(fs::exists(s("0_IMG_0001-640x427-8.jpg")));

  ui.messages.clear();
  save.Button1Click();
  EXPECT_EQ(std::pair(save.width(), save.height()), std::pair(640, 427));
  save.Button2Click();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"処理が終了しました。"});
  auto written = imaging::readJpegFileSize(s("0_IMG_0001-640x427-8.jpg"));
  ASSERT_TRUE(written);
  EXPECT_EQ(std::pair(written->width, written->height), std::pair(640, 427));
  EXPECT_EQ(ui.busyDepth, 0);
}

// Fault found earlier: with "Exif情報" ticked the reduced picture was written first and its EXIF
// data in a second write, so when the EXIF data could not be written (a full disk, a comment
// too long for the segment the program writes) the error came after an earlier save of that
// name had been replaced by a picture without EXIF data.
TEST_F(StretchSaveTest, TheExifDataGoInWithThePictureOrNothingIsWritten) {
  const std::string source = root.write("src/IMG_0001.JPG", testing::makeTestJpeg(30, 20));
  exif::TExifInfo info;
  info.Model = "Cam";
  info.UserComment = {"@090:a comment"};
  exif::WriteExif(info, source);
  openPicture(30, 20);
  save.CBExifAddClick(true);
  save.Edit1Exit(15);
  save.Button1Click();
  save.Button2Click();
  const std::string name = s("0_IMG_0001-15x10-8.jpg");
  exif::TExifInfo back;
  back.setImageFileName(name);
  EXPECT_EQ(back.Model, "Cam");
  EXPECT_EQ(back.UserComment, std::vector<std::string>{"a comment\r\n"});  // no mark
  EXPECT_EQ(back.PixelXDimension, 15);
  const std::string earlier = readAll(name);
  // A camera's small EXIF block with a comment that fills it: the program's own segment, with
  // all of its fields, cannot hold that comment. Nothing is written; the earlier save stays.
  testing::ExifBuilder block(false);
  block.ascii(testing::Ifd::kExif, 0x9286, std::string(65400, 'x'));
  root.write("src/IMG_0001.JPG", testing::jpegWithSegments({block.app1()}, 30, 20));
  EXPECT_THROW(save.Button2Click(), exif::ExifWriteError);
  EXPECT_EQ(readAll(name), earlier);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(StretchSaveTest, ZeroSizeIsRefused) {
  openPicture(300, 200);
  save.Edit1Exit(0);
  save.Button1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "縮小後の画像サイズを1以上にしましょう！");
  EXPECT_EQ(save.previewWidth(), 300) << "the old preview stays";
}

TEST_F(StretchSaveTest, SepiaAndBlackAndWhiteAreExclusiveAndNameTheFile) {
  openPicture(300, 200);
  save.CBSepiaClick(true);
  save.CBbwClick(true);
  EXPECT_FALSE(save.options().sepia);
  EXPECT_TRUE(save.options().blackAndWhite);
  save.CBSepiaClick(true);
  EXPECT_TRUE(save.options().sepia);
  EXPECT_FALSE(save.options().blackAndWhite);
  save.CBSepiaClick(false);
  EXPECT_FALSE(save.options().sepia);
  EXPECT_FALSE(save.options().blackAndWhite) << "clearing changes nothing else";

  save.CBSepiaClick(true);
  save.setLevel(3);
  save.Edit1Exit(150);
  save.Button1Click();
  save.Button2Click();
  EXPECT_TRUE(fs::exists(s("0_S_IMG_0001-150x100-3.jpg")));

  save.CBbwClick(true);
  save.Button1Click();
  save.Button2Click();
  const std::string grey = s("0_IMG_0001-150x100-3.jpg");
  ASSERT_TRUE(fs::exists(grey));
  auto decoded = imaging::decodeJpegFile(grey);
  const std::uint8_t* px = decoded.bitmap.row(50) + 3 * 75;
  EXPECT_NEAR(px[0], px[1], 2);
  EXPECT_NEAR(px[1], px[2], 2);
}

// Fault: ticking セピア (or BW) after the preview and pressing 保存 wrote "0_S_..." in natural
// colours, because Save compared only the size with the preview's.
TEST_F(StretchSaveTest, SaveAsksForANewPreviewWhenTheEffectsChangedSinceIt) {
  const std::string sepiaName = s("0_S_IMG_0001-150x100-8.jpg");
  const std::string plainName = s("0_IMG_0001-150x100-8.jpg");
  const auto refusedOnce = [&] {
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"[ビュー]してから実行しましょう！"});
    EXPECT_FALSE(fs::exists(sepiaName));
    EXPECT_FALSE(fs::exists(plainName));
    ui.messages.clear();
  };
  openPicture(300, 200);
  save.Edit1Exit(150);
  save.Button1Click();
  save.CBSepiaClick(true);
  save.Button2Click();
  refusedOnce();
  save.CBbwClick(true);  // black and white, sepia cleared
  save.Button2Click();
  refusedOnce();

  save.CBSepiaClick(true);
  save.Button1Click();
  save.Button2Click();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"処理が終了しました。"});
  ui.messages.clear();
  ASSERT_TRUE(fs::exists(sepiaName));
  const imaging::Bitmap sepia = outputs::ReduceWithEffects(*save.picture(), 150, 100, true, false);
  auto decoded = imaging::decodeJpegFile(sepiaName);
  ASSERT_EQ(decoded.bitmap.width(), 150);
  for (int x : {20, 75, 130}) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(decoded.bitmap.row(50)[3 * x + c], sepia.row(50)[3 * x + c], 6) << x;
    }
  }
  std::filesystem::remove(sepiaName);

  save.CBSepiaClick(false);  // natural colours asked, the preview is sepia
  save.Button2Click();
  refusedOnce();

  // Sepia still ticked from the last opening: the first preview, the picture itself, is not
  // sepia.
  save.CBSepiaClick(true);
  openPicture(300, 200);
  ASSERT_TRUE(save.previewCurrent());
  save.Button2Click();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"[ビュー]してから実行しましょう！"});
  EXPECT_FALSE(fs::exists(s("0_S_IMG_0001-300x200-8.jpg")));
}

TEST_F(StretchSaveTest, OpensOnlyOverAShownPictureAndOffersTheRescan) {
  root.write("src/a.mov", "a movie");
  root.write("src/b.jpg", testing::makeTestJpeg(320, 240));
  state.list.sourceDir = src + "/";
  session.scan().rescanSourceFolder();
  forget();
  RecordingWindow window;
  save.stretchsave1Click(window);
  EXPECT_TRUE(window.captions.empty());
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"現在表示中のものは縮小処理ができません。"});

  ui.messages.clear();
  state.list.sortIndex = 2;
  session.scan().showListPosition(2);
  window.whileShown = [&] {
    EXPECT_EQ(save.sizeText(), "     320                 240");
    save.Edit1Exit(160);
    save.Button1Click();
    save.Button2Click();
  };
  ui.queueAnswer(Answer::Ok);
  ui.queueAnswer(Answer::No);
  save.stretchsave1Click(window);
  EXPECT_EQ(window.captions, std::vector<std::string>{"画像縮小保存[ " + s("b.jpg") + " ]"});
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{"処理が終了しました。", "再オープンしますか？"}));
  EXPECT_EQ(state.list.images.size(), 2u) << "No: the list is not rebuilt";
  EXPECT_FALSE(save.picture()) << "the working bitmap is let go";

  ui.queueAnswer(Answer::Yes);
  window.whileShown = nullptr;
  save.stretchsave1Click(window);
  EXPECT_EQ(state.list.images.size(), 3u) << "Yes: the saved file joined the list";
}

}  // namespace
}  // namespace sortelia
