#include "core/session/sorting_session.h"

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

}  // namespace sortelia
