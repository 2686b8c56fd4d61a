#include "core/session/sorting_session.h"

#include "platform/format.h"
#include "platform/path.h"

namespace sortelia {

SortingSession::SortingSession(SortingState& state, Ui& ui, MainView& view, std::string dataFolder)
    : state_(state),
      ui_(ui),
      view_(view),
      dataFolder_(std::move(dataFolder)),
      photoData_(state, ui, view),
      display_(state, ui, view, view,
               [this](const std::string& path) { return photoData_.fileDateLine(path); }),
      scan_(state, ui, view, view, display_),
      settings_(*this) {
  photoData_.attach(display_);
  display_.events().subscribe(photoData_);
  settings_.FormCreate();
}

void SortingSession::setSlot(int i, const std::string& folder) {
  Slot& slot = state_.slots[i - 1];
  slot.folder = folder;
  slot.caption = folder.empty() ? "" : fs::fileNameOf(folder);
  view_.showSlot(i, slot.caption, slot.folder);
}

bool SortingSession::refuseLineBreakFolder(const std::string& folder) {
  if (folder.find_first_of("\r\n") == std::string::npos) return false;
  // The name is shown with its line breaks spelt out, so the message keeps its own lines.
  std::string shown;
  for (const char c : folder) {
    if (c == '\r') {
      shown += "<CR>";
    } else if (c == '\n') {
      shown += "<LF>";
    } else {
      shown += c;
    }
  }
  ui_.message(Icon::Warning,
              format(tr("フォルダ名に改行が含まれています。このフォルダは設定ファイル「zel.ini」に"
                        "正しく記録できないため、整理先にも整理元にも指定できません。フォルダ名を"
                        "変えてから指定しましょう！\r\n  フォルダ名[ %s ]",
                        "The Folder Name contains a Line Break. It cannot be kept in the "
                        "Settings File \"zel.ini\", so it can be neither a Destination nor the "
                        "Source Folder. Rename the Folder, then Select it again.\r\n  Folder "
                        "[ %s ]"),
                     {shown}),
              Buttons::Ok);
  return true;
}

}  // namespace sortelia
