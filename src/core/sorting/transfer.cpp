#include "core/sorting/transfer.h"

#include <algorithm>
#include <exception>

#include "core/display/entry_display.h"
#include "core/display/image_list.h"
#include "platform/file_kinds.h"
#include "platform/format.h"

namespace sortelia {
namespace {

// The file name without its extension (the text before the last ".").
std::string stemOf(const std::string& fileName) {
  const auto dot = fileName.rfind('.');
  return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// The extension a new name of the file takes: ".jpg" for a JPEG (and a name without one), a
// movie's or a HEIF's or RAW's own extension for the others, which a ".jpg" name would
// misrepresent.
std::string ownExtension(const std::string& fileName) {
  const auto dot = fileName.rfind('.');
  if (dot == std::string::npos || fs::hasExtension(fileName, ".jpg")) return ".jpg";
  return fileName.substr(dot);
}

// A chosen file name without an extension gets the picture's: "jpg" for a JPEG, the dialog's
// default extension.
std::string withDefaultExtension(const std::string& path, const std::string& sourceName) {
  const std::string name = fs::fileNameOf(path);
  return name.find('.') == std::string::npos ? path + ownExtension(sourceName) : path;
}

// Sets a flag for a scope and puts back what it was.
class BusyFlag {
 public:
  explicit BusyFlag(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~BusyFlag() { flag_ = was_; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

std::string numberedName(const std::string& folder, const std::string& fileName, long n) {
  return folder + "/" + stemOf(fileName) + "_" + std::to_string(n) + ownExtension(fileName);
}

TransferEngine::TransferEngine(SortingSession& session, UndoJournal& journal,
                               CommentEditor& comments, fs::FileOperations& files)
    : session_(session), journal_(journal), comments_(comments), files_(files), longSteps_(files) {}

TransferEngine::~TransferEngine() {
  // The queue's worker ends what is queued before it stops; nothing of it is journalled then,
  // so the window waits for the queue before it closes.
  alive_.reset();
  queue_.reset();
}

void TransferEngine::Button1Click(int slot) {
  if (slot < 1 || slot > kSlotCount) return;
  {
    BusyFlag busy(busy_);
    slotClick(slot);
  }
  // What the queue ended while the click asked its questions is taken back now.
  if (!busy_) settleQueue();
}

void TransferEngine::slotClick(int slot) {
  SortingState& st = session_.state();
  Ui& ui = session_.ui();
  const bool bound = !st.slots[slot - 1].folder.empty();
  // A step that failed in the queue puts the list back before this key counts: the person
  // sees the failed picture again instead of sorting the one behind it blind.
  if (queue_ && settleQueue()) return;
  if (st.list.sortIndex > 0 && bound) {
    comments_.RewriteCMT(st.list.sortIndex);
    const bool done =
        queue_ ? queueStep(slot, st.list.sortIndex) : iFileCopy(slot, st.list.sortIndex);
    if (!done) return;
    session_.pictureView().hideMovieButton();
    ++st.list.sortIndex;
    session_.scan().showListPosition(st.list.sortIndex);
    showPending();
  } else if (bound) {
    ui.setInfoText("　イメージファイルが保存されているフォルダーを指定しましょう。");
    ui.message(Icon::None,
               session_.tr("写真データを保存しているフォルダを指定しましょう！",
                           "Set a Folder with Image Files!"),
               Buttons::Ok);
  } else {
    ui.setInfoText(
        "　移動先の登録がありません。\r\n"
        "　この移動先ボタンの上で右クリックして登録作業をおこないましょう。\r\n"
        "　あるいは、エクスプローラーから移動先のフォルダをドラッグし、登録したい移動先ボタンの上で"
        "ドロップしましょう。");
    ui.message(Icon::None,
               session_.tr("右ボタンをクリックして、整理先のフォルダを指定しましょう！\r\n"
                           "あるいは、エクスプローラからフォルダをドラッグ＆ドロップしましょう！",
                           "Right Click and Set a Folder!\r\nor Drag and Drop a Folder!"),
               Buttons::Ok);
  }
}

bool TransferEngine::iFileCopy(int slot, int index) {
  const auto step = prepareStep(slot, index);
  return step && runStep(*step);
}

std::optional<TransferEngine::PreparedStep> TransferEngine::prepareStep(int slot, int index) {
  SortingState& st = session_.state();
  Ui& ui = session_.ui();
  if (slot < 1 || slot > kSlotCount) return std::nullopt;
  if (index < 1 || index > static_cast<int>(st.list.images.size())) return std::nullopt;
  const std::string folder = st.slots[slot - 1].folder;
  const std::string source = entryPath(st.list.images[index - 1]);
  PreparedStep prepared;
  prepared.index = index;
  std::vector<StepFile>& step = prepared.files;
  for (const std::string& file : filesOfPicture(st, source)) step.push_back({file, "", "", false});
  nameStep(step, folder + "/" + fs::fileNameOf(source));
  // The same file under another name (a link, a case-folding card) counts as the same path:
  // overwriting it would destroy the only copy.
  if (source == step.front().destination || files_.sameFile(source, step.front().destination)) {
    ui.message(Icon::Warning, "整理元と整理先が同じなので中止します。", Buttons::Ok);
    return std::nullopt;
  }
  // A name a queued step is still writing is settled against the file it becomes.
  const bool claimed = std::any_of(step.begin(), step.end(), [&](const StepFile& f) {
    return claimed_.count(f.destination) > 0;
  });
  if (claimed) {
    waitForQueue();
    if (st.list.sortIndex != index) return std::nullopt;  // a failure put the list back
  }
  if (anyExists(step) && !resolveClash(folder, step)) return std::nullopt;
  // A reduced move keeps the full-size file under its "Org_" name: that name must be free
  // before anything is copied.
  prepared.reduceTo = reduction_ ? reduction_->plannedSize(source) : std::nullopt;
  if (prepared.reduceTo && !st.options.keepOriginal &&
      !reduction_->canKeepOriginal(step.front().destination)) {
    return std::nullopt;
  }
  // An agreed overwrite copies beside the old file first and replaces it only once the new
  // copy is verified, so a failed copy never costs the file it was to replace.
  std::vector<std::string> targets;
  for (StepFile& f : step) {
    f.target = f.destination;
    if (!f.replace) continue;
    auto temporary = fs::freeTemporaryName(files_, f.destination, targets);
    if (!temporary) {
      refuseOverwrite();
      return std::nullopt;
    }
    f.target = *temporary;
    targets.push_back(f.target);
  }
  return prepared;
}

bool TransferEngine::runStep(const PreparedStep& prepared) {
  SortingState& st = session_.state();
  Ui& ui = session_.ui();
  const std::vector<StepFile>& step = prepared.files;
  const std::string& destination = step.front().destination;
  const StepOutcome outcome = copyStepFiles(files_, step,
                                            [&](const std::string& file, const char* title,
                                                const std::function<void(ProgressReporter*)>& job) {
                                              BusyCursor busy(ui);
                                              ui.setStatusText(title);
                                              longSteps_.run(file, title, job);
                                            });
  if (!outcome.ok()) {
    tellFailure(outcome);
    return false;
  }
  // The reduction runs before the source of a move is deleted: when it fails (and throws),
  // the verified full-size copy stays under its name, the source stays, nothing is journalled.
  // Companions travel unchanged.
  if (prepared.reduceTo) {
    reduction_->ReSizImg(destination, !st.options.keepOriginal, true, *prepared.reduceTo);
  }
  const char* kind = kJournalCopy;
  if (!st.options.keepOriginal) {
    ui.setStatusText("Delete Original File.");
    deleteStepSources(files_, step);
    kind = prepared.reduceTo ? kJournalMovRS : kJournalMove;
  }
  std::vector<JournalFile> journalled;
  for (const StepFile& f : step) journalled.push_back({f.source, f.destination});
  journal_.SetUndoMrk(kind, journalled);
  return true;
}

void TransferEngine::tellFailure(const StepOutcome& outcome) {
  Ui& ui = session_.ui();
  switch (outcome.failure) {
    case StepOutcome::Failure::None:
      return;
    case StepOutcome::Failure::Copy:
      ui.setInfoText(
          "　何らかのエラーがおこりました。\r\n"
          "　ダイアログに表示されているエラー番号を控えておきましょう。");
      ui.message(Icon::None, format("Error![%d]", {outcome.error}), Buttons::Ok);
      return;
    case StepOutcome::Failure::Size:
      ui.setInfoText("　移動に失敗したかもしれません。元のイメージをフォルダに残します。");
      ui.message(Icon::None,
                 session_.tr("サイズエラー発生！元データは削除されません。",
                             "Size Error! We don't delete!"),
                 Buttons::Ok);
      return;
    case StepOutcome::Failure::Comparison:
      ui.setInfoText(
          "　複写元と複写先のファイルを比較チェックしたところ、同じ内容ではありませんでした。"
          "コピーに何らかのエラーが発生しました。");
      ui.message(Icon::None,
                 session_.tr("比較エラー発生！元データは削除されません。",
                             "Comparison Error! We don't delete!"),
                 Buttons::Ok);
      return;
    case StepOutcome::Failure::Replace:
      refuseOverwrite();
      return;
    case StepOutcome::Failure::Thrown:
      std::rethrow_exception(outcome.thrown);
  }
}

void TransferEngine::nameStep(std::vector<StepFile>& step, const std::string& pictureDestination) {
  const std::string pictureName = fs::fileNameOf(step.front().source);
  const std::string newName = fs::fileNameOf(pictureDestination);
  const std::string folder = fs::folderPrefixOf(pictureDestination);
  step.front().destination = pictureDestination;
  for (std::size_t i = 1; i < step.size(); ++i) {
    step[i].destination =
        folder + fs::companionName(pictureName, newName, fs::fileNameOf(step[i].source));
  }
}

bool TransferEngine::anyExists(const std::vector<StepFile>& step) {
  return std::any_of(step.begin(), step.end(), [&](const StepFile& f) {
    return claimed_.count(f.destination) > 0 || files_.exists(f.destination);
  });
}

bool TransferEngine::resolveClash(const std::string& folder, std::vector<StepFile>& step) {
  const std::string name = fs::fileNameOf(step.front().source);
  if (session_.state().options.autoRename) {
    // Every file of the step takes the same number.
    for (long n = 1;; ++n) {
      nameStep(step, numberedName(folder, name, n));
      if (!anyExists(step)) return true;
    }
  }
  Ui& ui = session_.ui();
  const Answer a = ui.message(
      Icon::Warning,
      session_.tr("同じ名前のデータがあります。上書きしますか？", "Same File Exists. Over Write?"),
      Buttons::YesNo);
  if (a != Answer::Yes) return askAnotherName(step).has_value();
  for (StepFile& f : step) {
    if (!files_.exists(f.destination)) continue;
    if (files_.isProtected(f.destination) || fs::isDirectory(f.destination)) {
      refuseOverwrite();
      return false;
    }
    f.replace = true;
  }
  return true;
}

std::optional<std::string> TransferEngine::askAnotherName(std::vector<StepFile>& step) {
  Ui& ui = session_.ui();
  while (anyExists(step)) {
    FileDialog d;
    d.title = session_.tr("別の名前で保存する", "Another File Name");
    d.fileName = step.front().destination;
    d.initialDir = fs::folderOf(step.front().destination);
    d.filter = kJpegSaveFilter;
    auto chosen = ui.saveFile(d);
    if (!chosen || chosen->empty()) return std::nullopt;
    nameStep(step, withDefaultExtension(*chosen, fs::fileNameOf(step.front().source)));
    if (anyExists(step)) {
      ui.message(Icon::Warning,
                 session_.tr("同じ名前のデータがまだあります。", "Same File Exists, yet."),
                 Buttons::Ok);
    }
  }
  return step.front().destination;
}

void TransferEngine::setQueue(TaskPoster* poster) {
  if (queue_) waitForQueue();
  queue_.reset();
  if (!poster) return;
  // A finished step is taken back on the GUI thread, unless a command is under way there (a
  // slot click asking a question, a wait for the queue): that one takes it back when it can.
  // Nor while a modal window is open (the options window, say): a failure's message would
  // stand over it and the list move behind it; the next key or command takes it back.
  queue_ =
      std::make_unique<TransferQueue>(files_, *poster, [this, alive = std::weak_ptr<int>(alive_)] {
        if (!alive.lock() || busy_ || session_.ui().modalWindowOpen()) return;
        try {
          settleQueue();
        } catch (const std::exception& e) {
          session_.ui().message(Icon::Error, e.what(), Buttons::Ok);
        }
      });
}

PendingTransfers TransferEngine::pendingTransfers() const {
  return queue_ ? queue_->pending() : PendingTransfers{};
}

bool TransferEngine::queueStep(int slot, int index) {
  SortingState& st = session_.state();
  auto prepared = prepareStep(slot, index);
  if (!prepared) return false;
  if (prepared->reduceTo) {
    // The reduction asks and tells as it goes: it runs on the spot, once the queue is empty.
    waitForQueue();
    return st.list.sortIndex == index && runStep(*prepared);
  }
  const PendingTransfers pending = queue_->pending();
  const std::int64_t maxBytes = std::int64_t{st.options.queueMegabytes} << 20;
  if (!pending.empty() && (pending.steps >= st.options.queueSteps || pending.bytes >= maxBytes)) {
    waitWhile([&] { queue_->waitUntilBelow(st.options.queueSteps, maxBytes); });
    if (settleQueue()) return false;
  }
  QueuedStep queued;
  queued.index = index;
  queued.files = std::move(prepared->files);
  queued.move = !st.options.keepOriginal;
  queued.bytes = stepBytes(files_, queued.files);
  for (const StepFile& f : queued.files) claimed_.insert(f.destination);
  queue_->push(std::move(queued));
  showPending();
  return true;
}

void TransferEngine::waitForQueue() {
  if (!queue_) return;
  if (!queue_->pending().empty()) waitWhile([&] { queue_->waitUntilIdle(); });
  settleQueue();
}

void TransferEngine::waitWhile(const std::function<void()>& wait) {
  Ui& ui = session_.ui();
  BusyFlag busy(busy_);
  BusyCursor cursor(ui);
  if (longWork_) {
    longWork_->runLongStep(pendingText(), [&](ProgressReporter&) { wait(); });
  } else {
    wait();
  }
}

std::string TransferEngine::pendingText() const {
  const PendingTransfers pending = pendingTransfers();
  const int megabytes = static_cast<int>((pending.bytes + (1 << 19)) >> 20);
  return format(session_.tr("転送待ち %d 枚 (%d MB)", "Waiting: %d pictures (%d MB)"),
                {pending.steps, megabytes});
}

void TransferEngine::showPending() {
  if (!queue_) return;
  // Beside the shown entry's own text, so that the person keeps the list position in view.
  const std::string entry = session_.display().entryStatusText(session_.state().list.shownIndex());
  if (!pendingTransfers().empty()) {
    session_.ui().setStatusText(entry.empty() ? pendingText() : entry + "　" + pendingText());
    pendingShown_ = true;
  } else if (pendingShown_) {
    session_.ui().setStatusText(entry);
    pendingShown_ = false;
  }
}

bool TransferEngine::settleQueue() {
  if (!queue_) return false;
  std::deque<FinishedStep> finished = queue_->takeFinished();
  const FinishedStep* failed = nullptr;
  std::deque<FinishedStep> cancelled;
  for (const FinishedStep& f : finished) {
    if (!failed && !f.cancelled && f.outcome.ok()) {
      std::vector<JournalFile> journalled;
      for (const StepFile& file : f.step.files)
        journalled.push_back({file.source, file.destination});
      journal_.SetUndoMrk(f.step.move ? kJournalMove : kJournalCopy, journalled);
    } else if (!failed && !f.cancelled) {
      failed = &f;
    }
  }
  // Steps still queued behind a failure are not run: they come back with the others.
  if (failed) cancelled = queue_->resume();
  for (const auto* list : {&finished, &cancelled}) {
    for (const FinishedStep& f : *list) {
      for (const StepFile& file : f.step.files) claimed_.erase(file.destination);
    }
  }
  showPending();
  if (!failed) return false;
  SortingState& st = session_.state();
  st.list.sortIndex = failed->step.index;
  try {
    tellFailure(failed->outcome);
  } catch (const std::exception& e) {
    session_.ui().message(Icon::Error, e.what(), Buttons::Ok);
  }
  session_.pictureView().hideMovieButton();
  session_.scan().showListPosition(st.list.sortIndex);
  return true;
}

void TransferEngine::refuseOverwrite() {
  session_.ui().message(Icon::None,
                        "転送先の同名データが削除できません。\r\n"
                        "読み取り専用属性等が設定されている可能性があります。",
                        Buttons::Ok);
}

}  // namespace sortelia
