// The batch run of the reduced-size save window without a window: the job is run where the
// test says, its progress reaches the view only through the task poster, and the end shows
// the stop or the finish and every picture that failed.
#include "core/album/album_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "outputs/album/album_template.h"
#include "platform/file_ops.h"
#include "support/fake_timer.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::FakeTaskPoster;
using testing::readAll;

class RecordingView : public AlbumView {
 public:
  void showProgress(int count) override {
    range = count;
    position = 0;
    visible = true;
  }
  void setProgress(int p) override { positions.push_back(position = p); }
  void hideProgress() override { visible = false; }
  void setProgressText(const std::string& text) override { labels.push_back(text); }
  void setRunning(bool on) override { running.push_back(on); }

  int range = -1;
  int position = -1;
  bool visible = false;
  std::vector<int> positions;
  std::vector<std::string> labels;
  std::vector<bool> running;
};

// A poster that lets the test act while the worker posts (as a person clicking meanwhile).
class HookedPoster : public FakeTaskPoster {
 public:
  std::function<void()> onPost;
  void post(std::function<void()> task) override {
    FakeTaskPoster::post(std::move(task));
    if (onPost) onPost();
  }
};

class AlbumCommandTest : public ::testing::Test {
 protected:
  AlbumCommandTest()
      : src(root.mkdir("src") + "/"),
        data(root.mkdir("data")),
        session(state, ui, view, data),
        save(session),
        album(session, poster, [this](std::function<void()> job) { jobs.push_back(job); }) {
    outputs::album::writeMissingTemplates(data);
  }
  // The pictures (name and bytes) listed as the scan lists them, and the window opened on a
  // 64 x 48 picture with a current preview at 32 x 24.
  void list(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, bytes] : files) {
      const bool marked = name.rfind("!:", 0) == 0;
      const std::string file = marked ? name.substr(2) : name;
      if (!bytes.empty()) root.write("src/" + file, bytes);
      state.list.images.push_back((marked ? "!:" : "") + src + file);
    }
    state.list.sourceDir = src;
    save.open(std::make_shared<imaging::Bitmap>(64, 48), src + "a.jpg");
    save.Edit1Exit(32);
    save.Button1Click();
    ASSERT_TRUE(save.previewCurrent());
  }
  void runJobs() {
    for (auto& j : jobs) j();
    jobs.clear();
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& m : ui.messages) out.push_back(m.text);
    return out;
  }
  bool exists(const std::string& path) const { return fs::isRegularFile(path); }

  testing::TempDir root;
  std::string src;
  std::string data;
  SortingState state;
  testing::FakeUi ui;
  testing::FakeMainView view;
  SortingSession session;
  StretchSave save;
  HookedPoster poster;
  std::vector<std::function<void()>> jobs;
  AlbumCommand album;
  RecordingView window;
};

TEST_F(AlbumCommandTest, RunsOffTheGuiThreadAndReportsEveryFailureAtTheEnd) {
  const std::string jpeg = testing::makeTestJpeg(64, 48);
  list({{"a.jpg", jpeg},
        {"b.jpg", "not a picture at all"},
        {"c.jpg", jpeg},
        {"!:d.jpg", jpeg},
        {"e.jpg", ""},  // listed, but its file is gone
        {"f.mov", "movie"}});
  ui.messages.clear();
  ui.queueAnswer(Answer::Yes);
  album.Button4Click(save, window, 400);
  ASSERT_EQ(texts(), std::vector<std::string>{"整理元[ " + src +
                                              " ]のすべての画像を縮小保存しますか？\r\n(実行中に"
                                              "中止する時はマウスボタンをクリック！)"});
  EXPECT_TRUE(album.running());
  EXPECT_EQ(ui.busyDepth, 1);
  EXPECT_EQ(window.range, 6);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.running, std::vector<bool>{true});
  ASSERT_EQ(jobs.size(), 1u) << "the run goes to the worker";
  album.Button4Click(save, window, 400);  // a second click while running does nothing
  EXPECT_EQ(jobs.size(), 1u);

  runJobs();
  EXPECT_TRUE(window.labels.empty()) << "progress reaches the view only on the GUI thread";
  EXPECT_TRUE(window.positions.empty());
  EXPECT_TRUE(album.running());
  poster.runAll();

  EXPECT_EQ(window.positions, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  ASSERT_FALSE(window.labels.empty());
  EXPECT_EQ(window.labels.front(), src + "a.jpg\r\n[1/6]");
  EXPECT_EQ(window.labels.back(), "");
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(window.running, (std::vector<bool>{true, false}));
  EXPECT_FALSE(album.running());
  EXPECT_EQ(ui.busyDepth, 0);

  const std::string out = src + "0_Box32x24-8/";
  EXPECT_TRUE(exists(out + "0_a.jpg"));
  EXPECT_TRUE(exists(out + "0_c.jpg"));
  EXPECT_FALSE(exists(out + "0_b.jpg"));
  EXPECT_FALSE(exists(out + "0_d.jpg")) << "marked for deletion";
  EXPECT_FALSE(exists(out + "0_f.mov")) << "movies are listed, not reduced";
  const std::string page1 = readAll(out + "src_1.html");
  EXPECT_NE(page1.find("b.jpg"), std::string::npos) << "the failed picture keeps its row";
  EXPECT_NE(page1.find("f.mov"), std::string::npos);
  EXPECT_TRUE(page1.ends_with("</table></body></html>\r\n"));
  EXPECT_TRUE(readAll(out + "src_2.html").ends_with("</table></body></html>\r\n"));

  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[1].text, "処理が終了しました。");
  EXPECT_EQ(ui.messages[2].icon, Icon::Warning);
  const std::string& failures = ui.messages[2].text;
  EXPECT_TRUE(failures.starts_with("縮小できなかった画像があります。\r\n" + src + "b.jpg : "))
      << failures;
  EXPECT_EQ(failures.find("a.jpg"), std::string::npos);
  ASSERT_TRUE(album.lastResult());
  EXPECT_EQ(album.lastResult()->report.failed.size(), 1u);
}

TEST_F(AlbumCommandTest, AMousePressStopsTheRunAndThePagesAreStillClosed) {
  // More pictures than the run reduces ahead, so that some are not reached after the stop.
  const int count = 2 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) + 4;
  const std::string jpeg = testing::makeTestJpeg(16, 12);
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 0; i < count; ++i) files.push_back({"p" + std::to_string(100 + i) + ".jpg", jpeg});
  list(files);
  ui.messages.clear();
  ui.queueAnswer(Answer::Yes);
  album.Button4Click(save, window, 400);
  poster.onPost = [this] {
    if (!window.positions.empty() || poster.queued.size() < 2) return;
    album.FormMouseDown();  // pressed while the first picture is in hand
  };
  runJobs();
  poster.runAll();

  ASSERT_TRUE(album.lastResult());
  EXPECT_TRUE(album.lastResult()->report.stopped);
  EXPECT_EQ(album.lastResult()->entries.back().outcome, outputs::album::EntryOutcome::NotReached);
  EXPECT_EQ(texts().back(), "処理を中止します。");
  EXPECT_EQ(ui.messages.size(), 2u) << "no failures, no failure list";
  EXPECT_TRUE(readAll(src + "0_Box32x24-8/src_1.html").ends_with("</table></body></html>\r\n"));
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(ui.busyDepth, 0);
  album.FormMouseDown();  // after the run: nothing to stop
}

TEST_F(AlbumCommandTest, RefusalsAndErrorsLeaveNothingRunning) {
  list({{"a.jpg", testing::makeTestJpeg(64, 48)}});
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::vector<std::string> messages;  // after the question, when one was asked
    bool asked;
  } cases[] = {
      {"no current preview",
       [&] { save.Edit1Exit(20); },
       {"[ビュー]してから実行しましょう！"},
       false},
      {"answered No", [&] { ui.queueAnswer(Answer::No); }, {}, true},
      {"template missing",
       [&] {
         ASSERT_TRUE(std::remove((data + "/zel-html2.txt").c_str()) == 0);
         ui.queueAnswer(Answer::Yes);
       },
       {"cannot read"},
       true},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    save.Edit1Exit(32);
    ui.messages.clear();
    c.prepare();
    album.Button4Click(save, window, 400);
    runJobs();
    poster.runAll();
    const auto t = texts();
    ASSERT_EQ(t.size(), c.messages.size() + (c.asked ? 1 : 0));
    for (std::size_t i = 0; i < c.messages.size(); ++i) {
      const std::string& got = t[i + (c.asked ? 1 : 0)];
      if (std::string(c.what) == "template missing") {
        EXPECT_EQ(ui.messages.back().icon, Icon::Error);
        EXPECT_NE(got.find("zel-html2.txt"), std::string::npos) << got;
      } else {
        EXPECT_EQ(got, c.messages[i]);
      }
    }
    EXPECT_FALSE(album.running());
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_FALSE(window.visible);
  }
  EXPECT_FALSE(fs::isRegularFile(src + "0_Box32x24-8/src_1.html"))
      << "a missing template ends the run before any page is written";
}

TEST_F(AlbumCommandTest, WorkPostedAfterTheCommandIsGoneIsDropped) {
  list({{"a.jpg", testing::makeTestJpeg(64, 48)}});
  auto own = std::make_unique<AlbumCommand>(
      session, poster, [this](std::function<void()> job) { jobs.push_back(job); });
  ui.queueAnswer(Answer::Yes);
  own->Button4Click(save, window, 400);
  runJobs();  // the worker's progress and end wait for the GUI thread
  EXPECT_FALSE(poster.queued.empty());
  own.reset();
  poster.runAll();
  EXPECT_TRUE(window.visible) << "nothing reached the view after the command ended";
  EXPECT_TRUE(window.positions.empty());
  EXPECT_TRUE(window.labels.empty());
}

TEST_F(AlbumCommandTest, MissingTemplatesAreWrittenExistingOnesKept) {
  ASSERT_TRUE(std::remove((data + "/zel-html1.txt").c_str()) == 0);
  root.write("data/zel-html2.txt", "mine\r\n");
  album.writeMissingTemplates();
  EXPECT_EQ(readAll(data + "/zel-html2.txt"), "mine\r\n");
  const std::string t1 = readAll(data + "/zel-html1.txt");
  EXPECT_TRUE(t1.starts_with("# ZEL HTML ")) << "written with its default content";
  EXPECT_NE(t1.find("<img src=\"[*GSMP*]\">"), std::string::npos);
}

TEST_F(AlbumCommandTest, TheDefaultWorkerThreadRunsTheJobAndIsJoined) {
  list({{"a.jpg", testing::makeTestJpeg(64, 48)}});
  ui.messages.clear();
  {
    AlbumCommand threaded(session, poster);
    ui.queueAnswer(Answer::Yes);
    threaded.Button4Click(save, window, 400);
  }  // joined here
  poster.onPost = nullptr;
  EXPECT_FALSE(poster.queued.empty()) << "the worker posted its progress and end";
  EXPECT_TRUE(fs::isRegularFile(src + "0_Box32x24-8/src_1.html"));
}

}  // namespace
}  // namespace sortelia
