#include "core/sorting/deletion.h"

#include <map>
#include <vector>

#include "core/display/image_list.h"
#include "platform/format.h"
#include "platform/line_file.h"

namespace sortelia {
namespace {

// The non-empty lines of a text split at CR LF, CR or LF.
std::vector<std::string> nonEmptyLines(const std::string& text) {
  std::vector<std::string> lines = splitLines(text);
  std::erase_if(lines, [](const std::string& l) { return l.empty(); });
  return lines;
}

}  // namespace

DeletionMarks::DeletionMarks(SortingSession& session, UndoJournal& journal,
                             fs::FileOperations& files)
    : session_(session), journal_(journal), files_(files) {}

void DeletionMarks::Button13Click() {
  SortingState& st = session_.state();
  if (!st.list.viewerMode) {
    // The transfers queued before this key are journalled first, so that its "Del" line stands
    // after theirs and an undo takes back the newest step. A failure among them puts the list
    // back at its picture and is told; the key then marks nothing, as a slot key would not go on.
    const int index = st.list.sortIndex;
    session_.waitForTransfers();
    if (st.list.sortIndex != index) return;
  }
  if (!st.list.shownEntry()) return;
  DelMark(MrkDelImg(st.list.shownIndex() - 1));
  if (st.list.viewerMode) return;
  DelMark(false);
  journal_.SetUndoMrk(kJournalDel, std::to_string(st.list.sortIndex), "");
  ++st.list.sortIndex;
  session_.scan().showListPosition(st.list.sortIndex);
}

bool DeletionMarks::MrkDelImg(int i) {
  auto& images = session_.state().list.images;
  if (i < 0 || i >= static_cast<int>(images.size())) return false;
  std::string path;
  if (ChkDMRK(images[i], path)) {
    images[i] = path;
    return false;
  }
  images[i] = kDeletionMark + images[i];
  return true;
}

void DeletionMarks::DelMark(bool shown) {
  ControlPanel& view = session_.controls();
  const SortingState& st = session_.state();
  session_.pictureView().setDeletionOverlay(shown);
  if (view.isChecked(Control::CheckShow)) return;  // a slide show is running
  view.setEnabled(Control::SpeedButton1, !shown);
  const std::string deleteCaption =
      st.captions.deleteCaption.empty() ? "Delete" : st.captions.deleteCaption;
  const std::string restoreCaption =
      st.captions.restoreCaption.empty() ? "Restore" : st.captions.restoreCaption;
  view.setCaption(Control::Button13, shown ? restoreCaption : deleteCaption);
  if (!st.list.viewerMode) session_.scan().enableSlotButtons(!shown);
}

void DeletionMarks::DMRKFdelete() {
  Ui& ui = session_.ui();
  ControlPanel& view = session_.controls();
  std::vector<std::string> marked;
  for (const auto& entry : session_.state().list.images) {
    std::string path;
    if (ChkDMRK(entry, path)) marked.push_back(path);
  }
  const int n = static_cast<int>(marked.size());
  if (n > 0) {
    // The list names every file that goes: each picture followed by its companions.
    std::vector<std::string> lines{"【削除予定のファイル】"};
    for (const auto& path : marked) {
      lines.push_back(path);
      for (const auto& companion : companionsOf(path)) lines.push_back(companion);
    }
    ui.setInfoText(joinLines(lines));
    view.setChecked(Control::CheckInfo, true);
    const std::string question =
        session_.state().options.trashDeleted
            ? format(session_.tr("削除写真データファイル(%d個)があります。ごみ箱へ移動しますか？",
                                 "There are %d pictures to delete. Move them to the Trash?"),
                     {n})
            : format("削除写真データファイル(%d個)があります。本当に削除しますか？", {n});
    if (ui.message(Icon::Question, question, Buttons::YesNo) == Answer::Yes) {
      int k = 0;
      {
        BusyCursor busy(ui);
        for (const auto& path : marked) {
          ++k;
          if (!deleteListed(path, k, n)) {
            --k;
            continue;  // its companions stay with it
          }
          for (const auto& companion : companionsOf(path)) (void)deleteListed(companion, k, n);
        }
      }
      ui.setStatusText(format("Deleted %d / %d files.", {k, n}));
    }
    view.setChecked(Control::CheckInfo, false);
  }
  tgMovORGdel();
}

void DeletionMarks::tgMovORGdel() {
  Ui& ui = session_.ui();
  ControlPanel& view = session_.controls();
  // Each kept file with the reduced picture that stands for it.
  std::map<std::string, std::string> reducedOf;
  std::vector<std::string> lines{"【移動先のサイズ変更前オリジナルファイルの削除予定】"};
  for (const auto& line : session_.state().undo.lines) {
    if (line.rfind(kJournalMovRS, 0) != 0) continue;
    const auto items = parseCommaText(line);
    const std::string reduced = items.size() > 2 ? items[2] : "";
    lines.push_back(keptOriginalPath(reduced));
    reducedOf[lines.back()] = reduced;
  }
  const int n = static_cast<int>(lines.size()) - 1;
  if (n <= 0) return;
  ui.setInfoText(joinLines(lines));
  // The window may show a name otherwise than its bytes (a byte that is not UTF-8 as U+FFFD).
  const std::vector<std::string> displayed = nonEmptyLines(ui.infoText());
  view.setChecked(Control::CheckInfo, true);
  const std::string question =
      session_.state().options.trashDeleted
          ? format(session_.tr("削除対象のサイズ変更前オリジナル写真データファイル(%d個)が"
                               "あります。ごみ箱へ移動しますか？",
                               "There are %d full-size originals of reduced pictures to delete. "
                               "Move them to the Trash?"),
                   {n})
          : format(
                "削除対象のサイズ変更前オリジナル写真データファイル(%d個)があります。"
                "本当に削除しますか？",
                {n});
  if (ui.message(Icon::Question, question, Buttons::YesNo) == Answer::Yes) {
    // The list is read back from the information window, where the person saw it.
    const std::vector<std::string> shown = nonEmptyLines(ui.infoText());
    // While the window shows the list as it was put there, each line stands for the kept file
    // listed at its place; the name it shows may differ from the file's bytes.
    const bool asListed = shown == displayed && shown.size() == lines.size();
    int k = 0;
    {
      BusyCursor busy(ui);
      for (std::size_t i = 1; i < shown.size(); ++i) {
        ++k;
        const std::string& kept = asListed ? lines[i] : shown[i];
        const auto it = reducedOf.find(kept);
        // Only a listed kept file goes, and only while its reduced picture is still there.
        const bool listed = it != reducedOf.end() && !it->second.empty() &&
                            fs::isRegularFile(it->second) &&
                            !files_.sameFile(it->first, it->second);
        if (!listed) {
          ui.setStatusText(format("Del[ %s ]( %d / %d )", {kept, k, n}));
          reportUndeletable(kept);
          --k;
        } else if (!deleteListed(kept, k, n)) {
          --k;
        }
      }
    }
    ui.setStatusText(format("Deleted %d / %d files.", {k, n}));
  }
  view.setChecked(Control::CheckInfo, false);
}

std::vector<std::string> DeletionMarks::companionsOf(const std::string& picture) const {
  std::vector<std::string> files = filesOfPicture(session_.state(), picture);
  files.erase(files.begin());
  return files;
}

bool DeletionMarks::deleteListed(const std::string& path, int k, int n) {
  session_.ui().setStatusText(format("Del[ %s ]( %d / %d )", {path, k, n}));
  return discard(path);
}

bool DeletionMarks::discard(const std::string& path) {
  Ui& ui = session_.ui();
  if (session_.state().options.trashDeleted) {
    const fs::FileResult trashed = files_.moveToTrash(path);
    if (trashed.ok()) return true;
    // A file that is gone or protected is told as the deletion tells it; any other refusal
    // (a file system without a Trash among them) asks before the file is deleted for good.
    if (!files_.exists(path) || files_.isProtected(path)) {
      reportUndeletable(path);
      return false;
    }
    if (ui.message(Icon::Question,
                   format(session_.tr("ごみ箱に移動できません[ %s ]。\r\n完全に削除しますか？",
                                      "The Trash cannot take [ %s ].\r\nDelete it for good?"),
                          {path}),
                   Buttons::YesNo) != Answer::Yes) {
      return false;
    }
  }
  if (files_.removeFile(path).ok()) return true;
  reportUndeletable(path);
  return false;
}

void DeletionMarks::reportUndeletable(const std::string& path) {
  session_.ui().message(Icon::None,
                        format("削除できません[ %s ]。", {path}) +
                            "\r\n読み取り専用属性等が設定されている可能性があります。",
                        Buttons::Ok);
}

}  // namespace sortelia
