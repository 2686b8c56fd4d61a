#include "core/album/album_command.h"

#include <algorithm>
#include <exception>

#include "core/display/image_list.h"
#include "outputs/album/album_template.h"
#include "outputs/album/album_text.h"
#include "platform/format.h"

namespace sortelia {
namespace {

// At most this many failures are named in the closing message; the rest are counted.
constexpr int kListedFailures = 20;

}  // namespace

// One run: what the worker hands back, and whether the GUI side still listens. Everything
// but cancel is touched on the GUI thread only, or by the worker before it posts the end.
struct AlbumCommand::Run {
  CancelToken cancel;
  AlbumView* view = nullptr;
  bool abandoned = false;  // the command is gone: posted work must not touch it
  std::optional<outputs::album::AlbumResult> result;
  std::string error;
};

AlbumCommand::AlbumCommand(SortingSession& session, TaskPoster& poster, BackgroundRunner runner)
    : session_(session), poster_(poster), runner_(std::move(runner)) {}

AlbumCommand::~AlbumCommand() {
  if (current_) {
    current_->abandoned = true;
    current_->cancel.cancel();
  }
  if (worker_.joinable()) worker_.join();
}

void AlbumCommand::writeMissingTemplates() const {
  if (!session_.dataFolder().empty()) outputs::album::writeMissingTemplates(session_.dataFolder());
}

void AlbumCommand::FormMouseDown() {
  if (running_ && current_) current_->cancel.cancel();
}

void AlbumCommand::Button4Click(const StretchSave& save, AlbumView& view, int windowWidth) {
  session_.waitForTransfers();
  if (running_) return;
  Ui& ui = session_.ui();
  if (!save.previewCurrent()) {
    ui.message(Icon::None, "[ビュー]してから実行しましょう！", Buttons::Ok);
    return;
  }
  const SortingState& st = session_.state();
  const std::string& sourceDir = st.list.sourceDir;
  if (sourceDir.empty()) return;
  if (ui.message(Icon::Question,
                 format("整理元[ %s ]のすべての画像を縮小保存しますか？\r\n(実行中に中止する時は"
                        "マウスボタンをクリック！)",
                        {sourceDir}),
                 Buttons::YesNo) != Answer::Yes) {
    return;
  }

  // The job takes plain copies: the worker touches no core object.
  outputs::album::AlbumJob job;
  job.sourceDir = sourceDir;
  for (const std::string& entry : st.list.images) {
    outputs::album::AlbumEntry e;
    e.marked = ChkDMRK(entry, e.path);
    job.entries.push_back(std::move(e));
  }
  job.size = {save.width(), save.height()};
  job.level = save.options().level;
  // The EXIF data is never added in a batch run, as the EXIF box's hint tells the person:
  // the album's pictures are meant to be handed out.
  job.options = {.sepia = save.options().sepia,
                 .blackAndWhite = save.options().blackAndWhite,
                 .addExif = false};
  job.columns = outputs::album::albumColumns(windowWidth, job.size.width);
  job.templateFolder = session_.dataFolder();
  job.itemMask = st.options.exifItemMask;
  job.cameraSet = session_.photoData().selectedCameraSet();

  if (worker_.joinable()) worker_.join();  // the last run's worker, which has ended
  auto run = std::make_shared<Run>();
  run->view = &view;
  current_ = run;
  running_ = true;
  lastResult_.reset();
  ui.setBusy(true);
  view.setRunning(true);
  view.showProgress(static_cast<int>(job.entries.size()));

  TaskPoster& poster = poster_;
  auto work = [this, run, &poster, job = std::move(job)] {
    outputs::album::AlbumCallbacks callbacks;
    callbacks.label = [run, &poster](const std::string& text) {
      poster.post([run, text] {
        if (!run->abandoned) run->view->setProgressText(text);
      });
    };
    callbacks.step = [run, &poster](int position, int) {
      poster.post([run, position] {
        if (!run->abandoned) run->view->setProgress(position);
      });
    };
    try {
      run->result = outputs::album::runAlbum(job, callbacks, run->cancel);
    } catch (const std::exception& e) {
      run->error = e.what();
    }
    poster.post([this, run] {
      if (!run->abandoned) finish(run);
    });
  };
  if (runner_) {
    runner_(std::move(work));
  } else {
    worker_ = std::thread(std::move(work));
  }
}

void AlbumCommand::finish(const std::shared_ptr<Run>& run) {
  Ui& ui = session_.ui();
  run->view->hideProgress();
  run->view->setProgressText("");
  run->view->setRunning(false);
  ui.setBusy(false);
  running_ = false;
  current_.reset();
  lastResult_ = run->result;
  if (!run->result) {
    ui.message(Icon::Error, run->error, Buttons::Ok);
    return;
  }
  const BatchReport& report = run->result->report;
  ui.message(Icon::None, report.stopped ? "処理を中止します。" : "処理が終了しました。",
             Buttons::Ok);
  if (report.ok()) return;
  std::string text =
      session_.tr("縮小できなかった画像があります。", "Some Pictures Could Not Be Reduced.");
  const int count = static_cast<int>(report.failed.size());
  for (int i = 0; i < std::min(count, kListedFailures); ++i) {
    text += "\r\n" + report.failed[i].path + " : " + report.failed[i].text;
  }
  if (count > kListedFailures) {
    text += "\r\n" + format(session_.tr("ほか %d 件", "and %d more"), {count - kListedFailures});
  }
  ui.message(Icon::Warning, text, Buttons::Ok);
}

}  // namespace sortelia
