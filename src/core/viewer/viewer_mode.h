// Viewer mode, the slide show and the rotation of the shown picture. Viewer mode pages through
// the list from the picture sorting has reached to the end without transferring anything; the
// slide show pages on by itself at the tick of the Timer port; rotation turns the shown picture
// by quarter turns and keeps the sum as the picture's rotation mark, which the comment editor
// writes when the person leaves the picture. Also the window caption that names the mode and
// the subfolder switch.
#pragma once

#include <string>

#include "core/display/entry_events.h"
#include "core/ports/timer.h"
#include "core/ports/viewer_panel.h"
#include "core/session/sorting_session.h"
#include "core/sorting/sorting_loop.h"
#include "core/state/window_caption.h"

namespace sortelia {

class ViewerMode : public EntryListener {
 public:
  // Subscribes to the entries the display shows (after the sorting loop, so that the rotation
  // mark of a new picture is known when it is turned) and composes the caption for the session.
  ViewerMode(SortingSession& session, SortingLoop& loop, ViewerPanel& panel, Timer& timer);
  ~ViewerMode() override;
  ViewerMode(const ViewerMode&) = delete;
  ViewerMode& operator=(const ViewerMode&) = delete;

  // recomposeCaption, the caption: "<title> [ <source folder> ] < <mode> >".
  void recomposeCaption();

  // CheckViewClick, after the box changed.
  void CheckViewClick();
  // Edit1KeyPress with Enter: a typed number, clamped to the range, is shown; without typing
  // the next picture is. A text that is no number puts the position back.
  void Edit1KeyPress();
  // UpDown1Click: an arrow moved the position by step (+1 or -1, never past the range).
  void UpDown1Click(int step);
  // DSP_ViewModeIMG: writes a changed comment or rotation of the picture being left, then
  // shows the picture at the position.
  void DSP_ViewModeIMG();

  // CheckShowClick, after the box changed.
  void CheckShowClick();
  // Timer1Timer: one tick of the slide show.
  void Timer1Timer();

  // RotationClick for rot090, rot180 or rot270.
  void RotationClick(Control item);
  // DspImgRotation: turns the shown picture clockwise by 90, 180 or 270 degrees.
  void DspImgRotation(int angle);
  // rfDspImgRotation: turns a freshly shown picture by its mark.
  void rfDspImgRotation(const std::string& mark);

  // SubDchkBoxClick, after the button toggled.
  void SubDchkBoxClick();

  // The files a drag of the shown picture carries: entry ViewIndex in viewer mode, else
  // SortIndex, without its deletion mark, and its companions; none when there is no entry.
  std::vector<std::string> dragPaths() const;

  // A freshly shown picture is turned by its mark; a list rebuilt under viewer mode (which
  // leaves it) sets the controls for sorting mode.
  void entryShown(const ShownEntry& e) override;

  // The range and position of UpDown1.
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  int position() const { return pos_; }
  bool slideShowRunning() const { return showing_; }

 private:
  const char* tr(const char* japanese, const char* english) const {
    return session_.tr(japanese, english);
  }
  // The controls of viewer mode (on) or of sorting mode (off).
  void setViewerControls(bool on);
  // Starts or stops the slide show with the controls it locks.
  void setSlideShow(bool on);
  // Ends a slide show by unticking its box.
  void endSlideShow();
  // Leaves viewer mode after the list was rebuilt under it.
  void leftByRebuild();
  void setPosition(int p);

  SortingSession& session_;
  SortingLoop& loop_;
  ViewerPanel& panel_;
  Timer& timer_;
  bool viewerControls_ = false;
  bool showing_ = false;
  int min_ = 0;
  int max_ = 0;
  int pos_ = 0;
};

}  // namespace sortelia
