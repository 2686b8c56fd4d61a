#include "core/sorting/transfer.h"

#include <algorithm>

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

// A chosen file name without an extension gets the dialog's default extension "jpg".
std::string withDefaultExtension(const std::string& path) {
  const std::string name = fs::fileNameOf(path);
  return name.find('.') == std::string::npos ? path + ".jpg" : path;
}

}  // namespace

TransferEngine::StepCopies::~StepCopies() {
  for (const std::string& path : paths_) (void)files_.removeFile(path);
}

std::string numberedName(const std::string& folder, const std::string& fileName, long n) {
  return folder + "/" + stemOf(fileName) + "_" + std::to_string(n) + ".jpg";
}

TransferEngine::TransferEngine(SortingSession& session, UndoJournal& journal,
                               CommentEditor& comments, fs::FileOperations& files)
    : session_(session), journal_(journal), comments_(comments), files_(files), longSteps_(files) {}

void TransferEngine::Button1Click(int slot) {
  if (slot < 1 || slot > kSlotCount) return;
  SortingState& st = session_.state();
  Ui& ui = session_.ui();
  const bool bound = !st.slots[slot - 1].folder.empty();
  if (st.list.sortIndex > 0 && bound) {
    comments_.RewriteCMT(st.list.sortIndex);
    if (!iFileCopy(slot, st.list.sortIndex)) return;
    session_.pictureView().hideMovieButton();
    ++st.list.sortIndex;
    session_.scan().showListPosition(st.list.sortIndex);
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
  SortingState& st = session_.state();
  Ui& ui = session_.ui();
  if (slot < 1 || slot > kSlotCount) return false;
  if (index < 1 || index > static_cast<int>(st.list.images.size())) return false;
  const std::string folder = st.slots[slot - 1].folder;
  const std::string source = entryPath(st.list.images[index - 1]);
  std::vector<StepFile> step;
  for (const std::string& file : filesOfPicture(st, source)) step.push_back({file, "", "", false});
  nameStep(step, folder + "/" + fs::fileNameOf(source));
  // The same file under another name (a link, a case-folding card) counts as the same path:
  // overwriting it would destroy the only copy.
  if (source == step.front().destination || files_.sameFile(source, step.front().destination)) {
    ui.message(Icon::Warning, "整理元と整理先が同じなので中止します。", Buttons::Ok);
    return false;
  }
  if (anyExists(step) && !resolveClash(folder, step)) return false;
  const std::string destination = step.front().destination;
  // A reduced move keeps the full-size file under its "Org_" name: that name must be free
  // before anything is copied.
  const auto reduceTo = reduction_ ? reduction_->plannedSize(source) : std::nullopt;
  if (reduceTo && !st.options.keepOriginal && !reduction_->canKeepOriginal(destination)) {
    return false;
  }
  // An agreed overwrite copies beside the old file first and replaces it only once the new
  // copy is verified, so a failed copy never costs the file it was to replace.
  for (StepFile& f : step) {
    f.target = f.destination;
    if (!f.replace) continue;
    auto temporary = freeTemporaryName(f.destination);
    if (!temporary) {
      refuseOverwrite();
      return false;
    }
    f.target = *temporary;
  }
  if (!copyStep(step)) return false;
  // The reduction runs before the source of a move is deleted: when it fails (and throws),
  // the verified full-size copy stays under its name, the source stays, nothing is journalled.
  // Companions travel unchanged.
  if (reduceTo) reduction_->ReSizImg(destination, !st.options.keepOriginal, true, *reduceTo);
  const char* kind = kJournalCopy;
  if (!st.options.keepOriginal) {
    ui.setStatusText("Delete Original File.");
    for (const StepFile& f : step) (void)files_.removeFile(f.source);
    kind = reduceTo ? kJournalMovRS : kJournalMove;
  }
  std::vector<JournalFile> journalled;
  for (const StepFile& f : step) journalled.push_back({f.source, f.destination});
  journal_.SetUndoMrk(kind, journalled);
  return true;
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
  return std::any_of(step.begin(), step.end(),
                     [&](const StepFile& f) { return files_.exists(f.destination); });
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
    nameStep(step, withDefaultExtension(*chosen));
    if (anyExists(step)) {
      ui.message(Icon::Warning,
                 session_.tr("同じ名前のデータがまだあります。", "Same File Exists, yet."),
                 Buttons::Ok);
    }
  }
  return step.front().destination;
}

bool TransferEngine::copyStep(std::vector<StepFile>& step) {
  // A lone picture whose copy does not verify leaves that copy for inspection, as it always
  // has; a step of several files leaves none of its copies behind, so that no file of a
  // half-done step stands in the destination.
  const bool lone = step.size() == 1;
  StepCopies made(files_);
  for (const StepFile& f : step) {
    if (!copyAndVerify(f.source, f.target, lone && !f.replace ? nullptr : &made)) return false;
  }
  for (const StepFile& f : step) {
    if (f.replace && !files_.renameReplace(f.target, f.destination).ok()) {
      refuseOverwrite();
      return false;
    }
  }
  made.commit();
  return true;
}

bool TransferEngine::copyAndVerify(const std::string& source, const std::string& target,
                                   StepCopies* made) {
  Ui& ui = session_.ui();
  fs::FileResult copied;
  {
    BusyCursor busy(ui);
    ui.setStatusText("Copying...");
    longSteps_.run(source, "Copying...", [&](ProgressReporter* progress) {
      copied = files_.copyNoOverwrite(source, target, progress);
    });
  }
  if (copied.ok() && made) made->add(target);
  if (!copied.ok()) {
    ui.setInfoText(
        "　何らかのエラーがおこりました。\r\n"
        "　ダイアログに表示されているエラー番号を控えておきましょう。");
    ui.message(Icon::None, format("Error![%d]", {copied.error}), Buttons::Ok);
    return false;
  }
  if (files_.fileSize(source) != files_.fileSize(target)) {
    ui.setInfoText("　移動に失敗したかもしれません。元のイメージをフォルダに残します。");
    ui.message(
        Icon::None,
        session_.tr("サイズエラー発生！元データは削除されません。", "Size Error! We don't delete!"),
        Buttons::Ok);
    return false;
  }
  bool same = false;
  {
    BusyCursor busy(ui);
    ui.setStatusText("Checking...");
    longSteps_.run(source, "Checking...", [&](ProgressReporter* progress) {
      same = files_.sameContent(source, target, progress);
    });
  }
  if (!same) {
    ui.setInfoText(
        "　複写元と複写先のファイルを比較チェックしたところ、同じ内容ではありませんでした。"
        "コピーに何らかのエラーが発生しました。");
    ui.message(Icon::None,
               session_.tr("比較エラー発生！元データは削除されません。",
                           "Comparison Error! We don't delete!"),
               Buttons::Ok);
    return false;
  }
  return true;
}

std::optional<std::string> TransferEngine::freeTemporaryName(const std::string& destination) {
  const std::string base =
      fs::folderOf(destination) + "/.sortelia-" + fs::fileNameOf(destination) + ".";
  for (int n = 1; n <= 100; ++n) {
    std::string candidate = base + std::to_string(n) + ".part";
    if (!files_.exists(candidate)) return candidate;
  }
  return std::nullopt;
}

void TransferEngine::refuseOverwrite() {
  session_.ui().message(Icon::None,
                        "転送先の同名データが削除できません。\r\n"
                        "読み取り専用属性等が設定されている可能性があります。",
                        Buttons::Ok);
}

}  // namespace sortelia
