// Reduction on transfer through the production sorting loop on real pictures: the size
// options, the reduced copy and move with their "___" and "Org_" files, the journal, undo
// and the deletion pass, and the faults a reduction can meet.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/sorting/comment_edit.h"
#include "core/sorting_fixture.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_size.h"
#include "platform/file_ops.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::readAll;

class TransferReductionTest : public testing::SortingFixture {
 protected:
  // Real pictures in src, scanned; the first is on display.
  void scanPictures(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, bytes] : files) root.write("src/" + name, bytes);
    state.list.sourceDir = src + "/";
    session.scan().rescanSourceFolder();
    forget();
    bind(1, dst);
  }
  std::pair<int, int> sizeOf(const std::string& path) {
    auto size = imaging::readJpegFileSize(path);
    return size ? std::pair{size->width, size->height} : std::pair{0, 0};
  }
  std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  std::string journalKind(std::size_t i) {
    return state.undo.lines.at(i).substr(0, state.undo.lines.at(i).find(','));
  }
};

// Fault: the box was taken from the file's own size, ignoring the rotation mark, so a
// portrait 1488 x 2240 file marked "@090:" became 1600 x 2409 pixels (showing 2409 x 1600)
// instead of 1063 x 1600 (showing 1600 x 1063).
TEST_F(TransferReductionTest, SizeFollowsTheShownPicture) {
  struct Row {
    int option, w, h;
    const char* mark;
    std::optional<std::pair<int, int>> box;  // in the file's own pixels
  } rows[] = {
      {0, 2048, 1536, "", std::nullopt},
      {1, 2048, 1536, "", std::pair{1600, 1200}},
      {2, 2048, 1536, "", std::pair{1280, 960}},
      {1, 1536, 2048, "", std::pair{1600, 2133}},  // unmarked portraits too get the width
      {1, 800, 600, "", std::pair{1600, 1200}},
      {2, 3000, 2001, "", std::pair{1280, 854}},
      {1, 0, 0, "", std::nullopt},
      {3, 2048, 1536, "", std::nullopt},
      // A quarter-turn mark: the box of the shown size, turned back into the file's pixels.
      {1, 1488, 2240, "@090:", std::pair{1063, 1600}},  // shows 1600 x 1063
      {1, 3264, 2448, "@090:", std::pair{2133, 1600}},  // shows 1600 x 2133
      {1, 1488, 2240, "@270:", std::pair{1063, 1600}},
      {2, 3264, 2448, "@270:", std::pair{1707, 1280}},
      {1, 1488, 2240, "@180:", std::pair{1600, 2409}},  // upside down: as unmarked
      {0, 1488, 2240, "@090:", std::nullopt},
  };
  for (const Row& r : rows) {
    auto box = transferReduceSize(r.option, r.w, r.h, r.mark);
    ASSERT_EQ(box.has_value(), r.box.has_value())
        << r.option << " " << r.w << "x" << r.h << " " << r.mark;
    if (box) {
      EXPECT_EQ(std::pair(box->width, box->height), *r.box) << r.w << "x" << r.h << " " << r.mark;
    }
  }
  // 1600 x 2001 / 3200 = 1000.5 ties to the even 1000; 1600 x 1537 / 2048 = 1200.8 -> 1201.
  EXPECT_EQ(transferReduceSize(1, 3200, 2001)->height, 1000);
  EXPECT_EQ(transferReduceSize(1, 2048, 1537)->height, 1201);
}

TEST_F(TransferReductionTest, AMarkedPortraitIsReducedAsShownAndKeepsItsMark) {
  const std::string p = root.write("src/p.jpg", testing::makeTestJpeg(1488, 2240));
  exif::TExifInfo info;
  info.UserComment = {"@090:hello"};
  exif::WriteExif(info, p);
  scanPictures({{"q.jpg", testing::makeTestJpeg(64, 48)}});
  state.options.keepOriginal = true;
  loop.reduction.RSOPchg(Control::RadioButton2);
  transfer.Button1Click(1);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(sizeOf(d("p.jpg")), std::pair(1063, 1600));
  EXPECT_EQ(rotationMarkOfFile(d("p.jpg")), "@090:");
}

TEST_F(TransferReductionTest, OptionClicksSwitchTheRedBoldOption) {
  loop.reduction.RSOPchg(Control::RadioButton1);
  EXPECT_TRUE(view.emphasized[Control::RadioButton1]);
  loop.reduction.RSOPchg(Control::RadioButton3);
  EXPECT_EQ(state.options.resizeOption, 2);
  EXPECT_FALSE(view.emphasized[Control::RadioButton1]);
  EXPECT_TRUE(view.emphasized[Control::RadioButton3]);
  loop.reduction.RSOPchg(Control::RadioButton2);
  EXPECT_EQ(state.options.resizeOption, 1);
  EXPECT_FALSE(view.emphasized[Control::RadioButton3]);
  EXPECT_TRUE(view.emphasized[Control::RadioButton2]);

  scanPictures({{"p.jpg", testing::makeTestJpeg(2048, 1536)}});
  state.options.keepOriginal = true;
  transfer.Button1Click(1);
  EXPECT_EQ(sizeOf(d("p.jpg")), std::pair(1600, 1200)) << "2M after 1M reduces to 1600";
}

TEST_F(TransferReductionTest, ReducedMoveKeepsTheOriginalUndoAndDeletionPass) {
  const std::string p = testing::makeTestJpeg(2048, 1536);
  scanPictures({{"p.jpg", p}, {"q.jpg", testing::makeTestJpeg(640, 480)}});
  loop.reduction.RSOPchg(Control::RadioButton2);
  transfer.Button1Click(1);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(sizeOf(d("p.jpg")), std::pair(1600, 1200));
  EXPECT_EQ(readAll(d("Org_p.jpg")), p) << "the original is untouched";
  EXPECT_FALSE(fs::exists(s("p.jpg")));
  ASSERT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(journalKind(0), "MovRS");
  EXPECT_EQ(state.list.sortIndex, 2);

  journal.Undo1Click();
  EXPECT_EQ(readAll(s("p.jpg")), p);
  EXPECT_TRUE(namesIn(dst).empty());
  EXPECT_EQ(state.list.sortIndex, 1);

  // Again, and this time the deletion pass removes the kept original.
  transfer.Button1Click(1);
  ASSERT_EQ(journalKind(0), "MovRS");
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_EQ(namesIn(dst), std::vector<std::string>{"p.jpg"});
}

TEST_F(TransferReductionTest, ReducedCopyLeavesNoTemporary) {
  const std::string p = testing::makeTestJpeg(2048, 1536);
  scanPictures({{"p.jpg", p}, {"q.jpg", testing::makeTestJpeg(64, 48)}});
  // A stray file of the temporary's name is neither read nor replaced.
  root.write("dst/___p.jpg", "somebody's file");
  state.options.keepOriginal = true;
  loop.reduction.RSOPchg(Control::RadioButton3);
  transfer.Button1Click(1);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(sizeOf(d("p.jpg")), std::pair(1280, 960));
  EXPECT_EQ(readAll(s("p.jpg")), p);
  EXPECT_EQ(namesIn(dst), (std::vector<std::string>{"___p.jpg", "p.jpg"}));
  EXPECT_EQ(readAll(d("___p.jpg")), "somebody's file");
  EXPECT_EQ(journalKind(0), "Copy");
}

TEST_F(TransferReductionTest, BlackAndWhiteOfTheSaveWindowMakesEveryReductionGrey) {
  scanPictures({{"p.jpg", testing::makeTestJpeg(2048, 1536)}});
  loop.reduction.blackAndWhite = [] { return true; };
  loop.reduction.RSOPchg(Control::RadioButton3);
  transfer.Button1Click(1);
  auto decoded = imaging::decodeJpegFile(d("p.jpg"));
  ASSERT_GT(decoded.bitmap.width(), 0);
  int spread = 0;
  for (int y = 0; y < decoded.bitmap.height(); y += 97) {
    const std::uint8_t* row = decoded.bitmap.row(y);
    for (int x = 0; x < decoded.bitmap.width(); x += 89) {
      const std::uint8_t* px = row + 3 * x;
      spread = std::max({spread, std::abs(px[0] - px[1]), std::abs(px[1] - px[2])});
    }
  }
  EXPECT_LE(spread, 2) << "grey within JPEG rounding";
}

TEST_F(TransferReductionTest, ExistingOrgFileRefusesTheMoveBeforeAnythingIsCopied) {
  const std::string p = testing::makeTestJpeg(1024, 768);
  scanPictures({{"p.jpg", p}});
  root.write("dst/Org_p.jpg", "an older original");
  loop.reduction.RSOPchg(Control::RadioButton2);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(d("Org_p.jpg")), std::string::npos);
  EXPECT_EQ(readAll(d("Org_p.jpg")), "an older original");
  EXPECT_FALSE(fs::exists(d("p.jpg")));
  EXPECT_EQ(readAll(s("p.jpg")), p);
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(state.list.sortIndex, 1);
}

TEST_F(TransferReductionTest, MoviesAndUndecodablePicturesGoUnreduced) {
  root.write("src/a.mov", "a movie");
  root.write("src/b.jpg", "not a picture at all");
  scanPictures({{"c.jpg", testing::makeTestJpeg(640, 480)}});
  loop.reduction.RSOPchg(Control::RadioButton2);
  for (int i = 0; i < 3; ++i) transfer.Button1Click(1);
  EXPECT_EQ(readAll(d("a.mov")), "a movie");
  EXPECT_EQ(readAll(d("b.jpg")), "not a picture at all");
  EXPECT_EQ(sizeOf(d("c.jpg")), std::pair(1600, 1200)) << "a small picture is enlarged";
  ASSERT_EQ(state.undo.lines.size(), 3u);
  EXPECT_EQ(journalKind(0), "Move");
  EXPECT_EQ(journalKind(1), "Move");
  EXPECT_EQ(journalKind(2), "MovRS");
}

// A reduction that fails (disk full while writing, a picture that cannot be read) leaves the
// verified full-size copy under its own name and the source, and journals nothing.
TEST_F(TransferReductionTest, FailedReductionKeepsTheFullSizeCopy) {
  const std::string p = testing::makeTestJpeg(1024, 768);
  for (bool keepOriginal : {false, true}) {
    for (bool failRead : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "copy mode " << keepOriginal << " read " << failRead);
      std::filesystem::remove_all(dst);
      std::filesystem::remove_all(src);
      std::filesystem::create_directories(dst);
      std::filesystem::create_directories(src);
      state.undo.lines.clear();
      scanPictures({{"p.jpg", p}});
      state.options.keepOriginal = keepOriginal;
      loop.reduction.RSOPchg(Control::RadioButton2);
      loop.reduction.pictureFiles = {};
      if (failRead) {
        loop.reduction.pictureFiles.loadResampled = [](const std::string& f, int, int) {
          throw outputs::ReductionError("\"" + f + "\": cannot decode");
          return imaging::Bitmap();
        };
      } else {
        loop.reduction.pictureFiles.save = [](const imaging::Bitmap&, const std::string& f, int) {
          throw outputs::ReductionError("cannot write \"" + f + "\": No space left on device");
        };
      }
      EXPECT_THROW(transfer.Button1Click(1), outputs::ReductionError);
      EXPECT_EQ(readAll(d("p.jpg")), p);
      EXPECT_EQ(readAll(s("p.jpg")), p);
      EXPECT_EQ(namesIn(dst), std::vector<std::string>{"p.jpg"});
      EXPECT_TRUE(state.undo.lines.empty());
      EXPECT_EQ(state.list.sortIndex, 1);
    }
  }
}

// The names the full-size picture moves aside to are taken by another program between the
// look and the rename: nothing is replaced and no picture is lost.
TEST_F(TransferReductionTest, ANameTakenJustBeforeTheRenameIsNeverReplaced) {
  const std::string p = testing::makeTestJpeg(1024, 768);
  const std::string q = testing::makeTestJpeg(64, 48);
  auto takeOnce = [this](const std::string& name) {
    // The copy's own rename from its temporary name is not the one this test is about.
    files.beforeRename = [this, name](const std::string& from, const std::string& to) {
      if (to == d(name) && !fs::isCopyTemporary(fs::fileNameOf(from))) {
        root.write("dst/" + name, "somebody's file");
        files.beforeRename = nullptr;
      }
    };
  };
  auto restart = [&] {
    std::filesystem::remove_all(dst);
    std::filesystem::remove_all(src);
    std::filesystem::create_directories(dst);
    std::filesystem::create_directories(src);
    state.undo.lines.clear();
    scanPictures({{"p.jpg", p}, {"q.jpg", q}});  // q: no end-of-list message after p
    loop.reduction.RSOPchg(Control::RadioButton2);
  };
  {
    SCOPED_TRACE("the kept original's name, in a move");
    restart();
    takeOnce("Org_p.jpg");
    try {
      transfer.Button1Click(1);
      ADD_FAILURE() << "the reduction went on";
    } catch (const outputs::ReductionError& e) {
      EXPECT_EQ(std::string(e.what()), "\"" + d("Org_p.jpg") + "\" exists already; \"" +
                                           d("p.jpg") + "\" is left at full size");
    }
    EXPECT_EQ(readAll(d("Org_p.jpg")), "somebody's file");
    EXPECT_EQ(readAll(d("p.jpg")), p);
    EXPECT_EQ(readAll(s("p.jpg")), p);
    EXPECT_TRUE(state.undo.lines.empty());
  }
  {
    SCOPED_TRACE("the temporary name, in a copy: the next free one is taken");
    restart();
    state.options.keepOriginal = true;
    takeOnce("___p.jpg");
    transfer.Button1Click(1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(sizeOf(d("p.jpg")), std::pair(1600, 1200));
    EXPECT_EQ(readAll(d("___p.jpg")), "somebody's file");
    EXPECT_EQ(namesIn(dst), (std::vector<std::string>{"___p.jpg", "p.jpg"}));
    EXPECT_EQ(readAll(s("p.jpg")), p);
    EXPECT_EQ(journalKind(0), "Copy");
  }
  {
    SCOPED_TRACE("the picture's own name, when a failed reduction puts it back");
    restart();
    state.options.keepOriginal = false;
    loop.reduction.pictureFiles.save = [](const imaging::Bitmap&, const std::string& f, int) {
      throw outputs::ReductionError("cannot write \"" + f + "\": No space left on device");
    };
    takeOnce("p.jpg");
    try {
      transfer.Button1Click(1);
      ADD_FAILURE() << "the reduction went on";
    } catch (const outputs::ReductionError& e) {
      const std::string kept = "; the full-size picture is kept as \"" + d("Org_p.jpg") + "\"";
      const std::string what = e.what();
      EXPECT_TRUE(what.ends_with(kept)) << what;
    }
    EXPECT_EQ(readAll(d("p.jpg")), "somebody's file");
    EXPECT_EQ(readAll(d("Org_p.jpg")), p) << "the full-size copy stays aside";
    EXPECT_EQ(readAll(s("p.jpg")), p);
    EXPECT_TRUE(state.undo.lines.empty());
  }
}

}  // namespace
}  // namespace sortelia
