// A picture and its companions (RAW, sidecars, Live Photo movie) transferred, renamed on a
// clash and taken back as one step, on real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"

namespace sortelia {
namespace {

using testing::readAll;

const std::vector<std::string> kStep{"IMG_0001.JPG", "IMG_0001.CR3", "IMG_0001.JPG.xmp"};

class CompanionStep : public testing::SortingFixture {
 protected:
  // Lists IMG_0001.JPG with its RAW and XMP, and IMG_0002.JPG after it; binds slot 1.
  void scanPair() {
    scan({"IMG_0001.JPG", "IMG_0001.CR3", "IMG_0001.JPG.xmp", "IMG_0002.JPG"});
    ASSERT_EQ(state.list.images.size(), 2u);
    bind(1, dst);
    forget();
  }
  std::vector<std::string> dstNames() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dst)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void expectSourcesWhole() {
    for (const auto& n : kStep) EXPECT_EQ(readAll(s(n)), bytesOf(n)) << n;
  }
};

TEST_F(CompanionStep, CopyAndMoveTakeEveryFileAndUndoBringsEachBack) {
  for (const bool move : {false, true}) {
    SCOPED_TRACE(move ? "move" : "copy");
    state.options.keepOriginal = !move;
    scanPair();
    transfer.Button1Click(1);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    EXPECT_EQ(state.list.sortIndex, 2);
    for (const auto& n : kStep) {
      EXPECT_EQ(readAll(d(n)), bytesOf(n)) << n;
      EXPECT_EQ(fs::exists(s(n)), !move) << n;
    }
    ASSERT_EQ(state.undo.lines.size(), 1u);
    const auto items = parseCommaText(state.undo.lines[0]);
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0], move ? "Move" : "Copy");
    EXPECT_EQ(items[3], s("IMG_0001.CR3"));
    EXPECT_EQ(items[6], d("IMG_0001.JPG.xmp"));

    journal.Undo1Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(state.list.sortIndex, 1);
    expectSourcesWhole();
    EXPECT_TRUE(dstNames().empty());
    EXPECT_TRUE(state.undo.lines.empty());
  }
}

TEST_F(CompanionStep, TheListCountsPicturesAndSaysOnceWhereSharedCompanionsGo) {
  for (const char* n : {"A.JPG", "A.MOV", "A.AAE", "IMG_1.JPG", "img_1.jpg", "IMG_1.CR3"}) {
    root.write(std::string("src/") + n, n);
  }
  state.list.sourceDir = src + "/";
  session.scan().rescanSourceFolder();
  EXPECT_EQ(state.list.imageCount, 3) << "the Live Photo movie is no entry of its own";
  ASSERT_FALSE(ui.statusTexts.empty());
  EXPECT_EQ(ui.statusTexts.back(),
            "同じ名前の写真 1 枚: RAW・XMPなどは一覧で先の写真と一緒に扱います");
  EXPECT_EQ(std::count(ui.statusTexts.begin(), ui.statusTexts.end(), ui.statusTexts.back()), 1);
  EXPECT_EQ(state.list.companions.at(s("A.JPG")),
            (std::vector<std::string>{s("A.AAE"), s("A.MOV")}));

  state.options.keepCompanions = false;
  session.scan().rescanSourceFolder();
  EXPECT_EQ(state.list.imageCount, 4);
  EXPECT_EQ(ui.statusTexts.back(), s("A.JPG") + " [ 1 / 4 files ]");
  EXPECT_TRUE(state.list.companions.empty());
}

TEST_F(CompanionStep, OptionOffTransfersThePictureAlone) {
  state.options.keepCompanions = false;
  scanPair();
  transfer.Button1Click(1);
  EXPECT_EQ(dstNames(), (std::vector<std::string>{"IMG_0001.JPG"}));
  EXPECT_TRUE(fs::exists(s("IMG_0001.CR3")));
  EXPECT_EQ(parseCommaText(state.undo.lines.at(0)).size(), 3u);
}

TEST_F(CompanionStep, AutoRenameGivesEveryFileTheSameNumber) {
  state.options.autoRename = true;
  scanPair();
  // Only the RAW's name is taken, and "_1" of the XMP: the whole step moves on to "_2".
  root.write("dst/IMG_0001.CR3", "older raw");
  root.write("dst/IMG_0001_1.jpg.xmp", "older xmp");
  transfer.Button1Click(1);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(readAll(d("IMG_0001_2.jpg")), bytesOf("IMG_0001.JPG"));
  EXPECT_EQ(readAll(d("IMG_0001_2.CR3")), bytesOf("IMG_0001.CR3"));
  EXPECT_EQ(readAll(d("IMG_0001_2.jpg.xmp")), bytesOf("IMG_0001.JPG.xmp"));
  EXPECT_EQ(readAll(d("IMG_0001.CR3")), "older raw");
}

TEST_F(CompanionStep, AClashOfAnyFileIsOneQuestionForTheStep) {
  struct Row {
    const char* name;
    Answer answer;
    std::optional<std::string> another;  // the name chosen in the save dialog
    std::vector<std::string> expected;   // the destination afterwards
  };
  const Row rows[] = {
      {"overwrite",
       Answer::Yes,
       std::nullopt,
       {"IMG_0001.CR3", "IMG_0001.JPG", "IMG_0001.JPG.xmp"}},
      {"another name",
       Answer::No,
       "other.jpg",
       {"IMG_0001.CR3", "other.CR3", "other.jpg", "other.jpg.xmp"}},
      {"cancelled", Answer::No, std::nullopt, {"IMG_0001.CR3"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::filesystem::remove_all(dst);
    root.mkdir("dst");
    std::filesystem::remove_all(src);
    root.mkdir("src");
    state.options.keepOriginal = true;
    scanPair();
    root.write("dst/IMG_0001.CR3", "older raw");
    ui.queueAnswer(r.answer);
    if (r.answer == Answer::No) {
      ui.queueDialogResult(r.another ? std::optional<std::string>(d(*r.another)) : std::nullopt);
    }
    transfer.Button1Click(1);
    ASSERT_GE(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "同じ名前のデータがあります。上書きしますか？");
    EXPECT_EQ(ui.messages.size(), 1u) << "one question for the step";
    EXPECT_EQ(dstNames(), r.expected);
    if (r.answer == Answer::Yes) {
      EXPECT_EQ(readAll(d("IMG_0001.CR3")), bytesOf("IMG_0001.CR3"));
    } else {
      EXPECT_EQ(readAll(d("IMG_0001.CR3")), "older raw");
    }
    expectSourcesWhole();
  }
}

// Every fault of a copy, at every file of the step, in both modes: each source stays whole,
// no copy of the step is left in the destination, nothing is journalled, the picture stays.
TEST_F(CompanionStep, AFaultAtAnyFileLeavesEverySourceAndNoCopy) {
  struct Fault {
    const char* name;
    std::function<void(testing::FaultyFileOperations&)> arm;
    const char* message;
  };
  const Fault faults[] = {
      {"disk full", [](auto& f) { f.failWriteAfter = 1000; }, "Error![28]"},
      {"bytes differ", [](auto& f) { f.corruptAt = 10; },
       "比較エラー発生！元データは削除されません。"},
      {"size differs", [](auto& f) { f.truncateTo = 10; },
       "サイズエラー発生！元データは削除されません。"},
      {"unreadable", [](auto& f) { f.readFails = true; }, nullptr},
  };
  for (const bool move : {false, true}) {
    for (const Fault& fault : faults) {
      for (int at = 1; at <= 3; ++at) {
        SCOPED_TRACE(std::string(move ? "move, " : "copy, ") + fault.name + " at file " +
                     std::to_string(at));
        std::filesystem::remove_all(dst);
        root.mkdir("dst");
        state.options.keepOriginal = !move;
        scanPair();
        files = testing::FaultyFileOperations();
        files.faultOnCopy = at;
        fault.arm(files);
        if (fault.message) {
          transfer.Button1Click(1);
          ASSERT_EQ(ui.messages.size(), 1u);
          EXPECT_EQ(ui.messages[0].text, fault.message);
        } else {
          EXPECT_THROW(transfer.Button1Click(1), fs::FileReadError);
        }
        expectSourcesWhole();
        EXPECT_TRUE(dstNames().empty());
        EXPECT_TRUE(state.undo.lines.empty());
        EXPECT_EQ(state.list.sortIndex, 1);
      }
    }
  }
}

TEST_F(CompanionStep, AJournalLineOfOneFileStillUndoes) {
  // A line as the journal wrote it for every step before steps could hold companions.
  scanPair();
  root.write("dst/IMG_0001.JPG", bytesOf("IMG_0001.JPG"));
  std::filesystem::remove(s("IMG_0001.JPG"));
  state.list.sortIndex = 2;
  state.undo.lines = {"Move, \"" + s("IMG_0001.JPG") + "\", \"" + d("IMG_0001.JPG") + "\""};
  journal.Undo1Click();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(readAll(s("IMG_0001.JPG")), bytesOf("IMG_0001.JPG"));
  EXPECT_TRUE(dstNames().empty());
  EXPECT_EQ(state.list.sortIndex, 1);
}

TEST_F(CompanionStep, AnUndoThatCannotPutACompanionBackPutsNothingBack) {
  scanPair();
  transfer.Button1Click(1);
  ASSERT_EQ(state.undo.lines.size(), 1u);
  // Another file took the RAW's old name meanwhile.
  root.write("src/IMG_0001.CR3", "a different raw");
  journal.Undo1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("IMG_0001.CR3"), std::string::npos);
  EXPECT_EQ(state.undo.lines.size(), 1u) << "the line stays, to be tried again";
  EXPECT_FALSE(fs::exists(s("IMG_0001.JPG"))) << "the picture put back is taken away again";
  EXPECT_EQ(readAll(s("IMG_0001.CR3")), "a different raw");
  EXPECT_EQ(dstNames(),
            (std::vector<std::string>{"IMG_0001.CR3", "IMG_0001.JPG", "IMG_0001.JPG.xmp"}));
}

}  // namespace
}  // namespace sortelia
