// Showing one entry of the image list in the main window: the picture fitted into the display
// area, or the movie button; the status text; the date overlay.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/display/entry_events.h"
#include "core/display/picture_source.h"
#include "core/ports/main_view.h"
#include "core/ports/ui.h"
#include "core/state/sorting_state.h"
#include "imaging/bitmap.h"

namespace sortelia {

// The date-and-time line of a file (for "FILE" in the date overlay).
using FileDateLine = std::function<std::string(const std::string& path)>;

class EntryDisplay {
 public:
  EntryDisplay(SortingState& state, Ui& ui, PictureView& picture, ControlPanel& controls,
               FileDateLine fileDateLine);

  // Who hears that an entry was shown.
  EntryEvents& events() { return events_; }
  // Where pictures come from (the prefetcher); decoded on the spot when null or not set.
  void setPictureSource(PictureSource* source) { source_ = source ? source : &direct_; }

  // ShowEntry: shows entry n (1-based) of the image list.
  void ShowEntry(int n);
  // The status text ShowEntry gives entry n: "entry [ n / count files ]"; "" for no entry.
  std::string entryStatusText(int n) const;
  // SetDateLBL: the date overlay's texts; "FILE" or "." stand for the date line of path (or of
  // the picture on display when path is empty).
  void SetDateLBL(const std::string& text, const std::string& path);
  // Empties the display area and lets go of the picture held, its screen copy and its size, so
  // that no later resize paints it back (the list ran out, a folder without pictures).
  void clearPicture();
  // Refits the picture on display into the display area (after a resize).
  void FormResize();
  // Puts picture (the one on display, turned clockwise by turnedBy degrees) in place of the
  // picture on display: its size becomes the display size, it is fitted into the display area,
  // and the size overlay follows.
  void replacePicture(std::shared_ptr<const imaging::Bitmap> picture, int turnedBy);
  // CheckDATEClick: the overlay labels are visible exactly while CheckDATE is ticked.
  void CheckDATEClick();
  // BitBtn1Click: starts the player of the current entry.
  void BitBtn1Click();
  // StartPlayer: starts the desktop's application for path; false (after a message) when
  // there is none or it cannot be started.
  bool StartPlayer(const std::string& path);

  // Whether a picture is on display, and its full size as shown (turned).
  bool hasPicture() const { return pictureWidth_ > 0; }
  int pictureWidth() const { return pictureWidth_; }
  int pictureHeight() const { return pictureHeight_; }
  // The picture on display at full size (null for none). A picture reduced while it was
  // decoded is decoded again at full size now, and then kept while it is on display; null
  // when its file no longer gives a picture of the size shown.
  std::shared_ptr<const imaging::Bitmap> fullPicture();
  // How far the picture on display is turned clockwise from its file: 0, 90, 180 or 270
  // degrees (a picture prepared ahead by its rotation mark comes turned).
  int turn() const { return turn_; }
  // The full-size picture held now, without decoding (null while only the screen copy is).
  std::shared_ptr<const imaging::Bitmap> heldPicture() const { return picture_; }

 private:
  // Empties the display and forgets the picture held; path becomes the entry on display.
  void dropPicture(const std::string& path);
  // Shows the picture at path; false when the file is missing.
  bool showPicture(const std::string& path);
  void showMovie(const std::string& entry, const std::string& path);
  void fit();

  SortingState& state_;
  Ui& ui_;
  PictureView& view_;
  ControlPanel& controls_;
  FileDateLine fileDateLine_;
  EntryEvents events_;
  DirectPictureSource direct_;
  PictureSource* source_ = &direct_;
  std::shared_ptr<const imaging::Bitmap> picture_;  // full size; null until it is needed
  std::shared_ptr<const imaging::Bitmap> screen_;   // the picture at its size on screen
  int fileWidth_ = 0;                               // the picture's size in its file, unturned
  int fileHeight_ = 0;
  int turn_ = 0;
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  std::string shownPath_;
  std::string dateText_;  // the date overlay's text as last shown
};

}  // namespace sortelia
