// The sorting session: the thin context that the main window's core units share. It holds
// the state, the ports by role, the data folder and the session's units: the entry display,
// the photo data presenter, the image scan and the settings store. The commands live in the
// units; the context only hands them out.
#pragma once

#include <functional>
#include <string>

#include "core/display/entry_display.h"
#include "core/ports/main_view.h"
#include "core/ports/ui.h"
#include "core/session/image_scan.h"
#include "core/session/photo_data_presenter.h"
#include "core/session/settings_store.h"
#include "core/state/sorting_state.h"

namespace sortelia {

class SortingSession {
 public:
  // FormCreate: builds the units and puts the creation defaults into state and onto the view.
  // dataFolder holds "zel.ini"; an empty dataFolder means there is none (nothing is read or
  // written).
  SortingSession(SortingState& state, Ui& ui, MainView& view, std::string dataFolder);
  SortingSession(const SortingSession&) = delete;
  SortingSession& operator=(const SortingSession&) = delete;

  // Binds slot i (1..12) to folder (caption = its last component), or unbinds it when empty.
  void setSlot(int i, const std::string& folder);

  // "zel.ini" keeps one folder a line, so a folder whose path holds a line break (LF, CR or
  // both) can never be a slot or the source folder: true, after telling the person why, when
  // folder is such a folder.
  bool refuseLineBreakFolder(const std::string& folder);

  // The deferred deletion of marked pictures, run before every rebuild of the list and at
  // close; does nothing until a pass is installed (by the sorting loop, which owns the marks).
  void setDeletionPass(std::function<void()> pass) { deletionPass_ = std::move(pass); }
  void runDeletionPass() {
    waitForTransfers();
    if (deletionPass_) deletionPass_();
  }

  // Waits until the transfer queue has written every step it holds and its results are taken
  // back (journalled, or a failure told and the list put back). Every command that reads or
  // changes what the queue touches calls it first: undo, the deletion pass, every rebuild of
  // the list, rename, export, the album, viewer mode, closing. Does nothing until a barrier is
  // installed (by the sorting loop, which owns the transfer).
  void setTransferBarrier(std::function<void()> barrier) { transferBarrier_ = std::move(barrier); }
  void waitForTransfers() {
    if (transferBarrier_) transferBarrier_();
  }

  // recomposeCaption: composes the window caption that names the mode; does nothing until a
  // composer is installed (by viewer mode, which knows the mode).
  void setCaptionComposer(std::function<void()> compose) { captionComposer_ = std::move(compose); }
  void recomposeCaption() {
    if (captionComposer_) captionComposer_();
  }

  // Filter of the picture open dialog shared by Open and Set Folder (Delphi style
  // "description|patterns|..."); Open replaces the design value.
  std::string openDialogFilter = "すべてのファイル (*.*)|*.*|JPEG イメージファイル (*.jpg)|*.jpg";

  // Chooses the Japanese or the English text of a message pair.
  const char* tr(const char* japanese, const char* english) const {
    return state_.options.japaneseMode ? japanese : english;
  }

  const std::string& dataFolder() const { return dataFolder_; }
  SortingState& state() { return state_; }
  Ui& ui() { return ui_; }
  // The main window by role.
  PictureView& pictureView() { return view_; }
  ControlPanel& controls() { return view_; }
  SlotPanel& slotPanel() { return view_; }
  CommentField& commentField() { return view_; }
  WindowFrame& frame() { return view_; }

  EntryDisplay& display() { return display_; }
  PhotoDataPresenter& photoData() { return photoData_; }
  ImageScan& scan() { return scan_; }
  SettingsStore& settings() { return settings_; }

 private:
  SortingState& state_;
  Ui& ui_;
  MainView& view_;
  std::string dataFolder_;
  std::function<void()> deletionPass_;
  std::function<void()> transferBarrier_;
  std::function<void()> captionComposer_;
  PhotoDataPresenter photoData_;
  EntryDisplay display_;
  ImageScan scan_;
  SettingsStore settings_;
};

}  // namespace sortelia
