// The thumbnail browser's logic: building the grid from 1/8-scale decodes on worker threads,
// placed in list order on the GUI thread; the cells' marks, the one-step undo of Del., the
// popup menu's states, opening a picture full-size and collecting the print marks.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/browser_view.h"
#include "core/ports/timer.h"
#include "core/ports/ui.h"
#include "core/state/sorting_state.h"
#include "exif/photo_info.h"
#include "outputs/browse/thumb_geometry.h"
#include "platform/progress.h"
#include "platform/worker_pool.h"

namespace sortelia {

// Label colours, which carry the marks.
enum class LabelColour {
  Face,   // system button face: no mark
  Green,  // light green (136, 255, 136): the picture opened last
  Red,    // light red (255, 153, 153): a picture opened before
  Blue,   // blue (68, 34, 255) with white text: marked for printing
  // Pure blue (0, 0, 255) with white text: the one picture being printed while its print
  // window is open; the earlier colour comes back afterwards.
  Printing,
};

struct ThumbCell {
  int index = 0;  // 0-based image list index
  std::string path;
  std::string name;
  int size = 100;
  outputs::Rect rect;  // in grid coordinates, as placed last
  bool visible = true;
  bool infoShown = false;  // blue panel and white label while its information is shown
  LabelColour label = LabelColour::Face;
  imaging::Bitmap picture;    // empty for movies
  outputs::Rect pictureRect;  // in the picture area
};

// Which popup items are enabled, and whether Undo is shown.
struct PopupItems {
  bool info = false, del = false, undo = false, prtMark = false, print = false;
  bool undoVisible = false;
  bool operator==(const PopupItems&) const = default;
};

class ThumbBrowser {
 public:
  struct Deps {
    Ui& ui;
    BrowserView& view;
    TaskPoster& poster;
    WorkerPool& pool;
    // The image list (entries may carry the deletion mark) and the language of the texts.
    const SortingState& state;
    // MrkDelImg: toggles the deletion mark of a 0-based entry, given the cell's path; an
    // entry that no longer holds that path is left alone and false returned.
    std::function<bool(int, const std::string&)> toggleDeletionMark;
    // Starts a movie's player.
    std::function<void(const std::string&)> startPlayer;
    // The item mask and camera parameter set photo information is read with.
    std::function<std::string()> itemMask;
    std::function<exif::CameraParamSet()> cameraSet;
  };
  explicit ThumbBrowser(Deps deps);
  ~ThumbBrowser();
  ThumbBrowser(const ThumbBrowser&) = delete;
  ThumbBrowser& operator=(const ThumbBrowser&) = delete;

  // Button1Click: builds the grid at cell size size (50..300).
  void Button1Click(int size);
  // Button2Click: stops a running build at once.
  void Button2Click();
  bool building() const { return building_; }
  // FormClose: closing the browser ends a running build without a message (it would go on
  // behind the main window); the cells made so far stay.
  void FormClose();
  // ICclear: frees every cell (and stops a running build without a message).
  void ICclear();
  // The cells belong to the list they were built from: once the scan has rebuilt the list,
  // they are cleared (ICclear). True when that happened.
  bool clearIfListRebuilt();
  // FormResize: with at least two cells, closes the gaps and shows the hidden cells again.
  void FormResize();

  const std::vector<ThumbCell>& cells() const { return cells_; }
  // Position (in cells()) of the visible cell at a grid point, or -1.
  int cellAt(int x, int y) const;
  // True when the point lies on the cell's picture area (not its label).
  bool onPicture(int cell, int x, int y) const;
  // Height of the grid's content.
  int contentHeight() const;

  // The picture under the mouse (-1: none); the popup and its commands act on it.
  void setUnderMouse(int cell) { underMouse_ = cell; }
  int underMouse() const { return underMouse_; }

  PopupItems PopupMenu1Popup() const;
  void Info1Click();
  void Delete1Click();
  void Undo1Click();
  void PrtMarkClick();
  void Print1Click();
  // LblClickMRK: cycles a label's colour.
  void LblClickMRK(int cell);
  // ImgDblDsp: opens a cell's picture full-size (realSize: CheckBox1) or starts its player.
  void ImgDblDsp(int cell, bool realSize);
  // The quoted paths of the print-marked cells in grid order, and their count.
  int CollectPrintMarks(std::string& list) const;

  // Called when the build ends (for tests and the window).
  std::function<void()> onBuildEnded;

 private:
  struct Run;
  void receive(int entry, outputs::ThumbImage image);
  void placeReady();
  void finish(bool stopped, const std::string& error);
  void addCell(int entry, const std::string& path, int size, outputs::ThumbImage image);

  Deps d_;
  std::vector<ThumbCell> cells_;
  int lastOpened_ = -1;
  int undoCell_ = -1;
  unsigned builtOn_ = 0;  // the list's rebuild count when the cells were built
  int underMouse_ = -1;
  bool building_ = false;
  std::string savedCaption_;
  std::shared_ptr<Run> run_;
  exif::PhotoInfo photo_;
};

}  // namespace sortelia
