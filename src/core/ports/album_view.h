// The album run's progress as the reduced-size save window shows it.
#pragma once

#include <string>

namespace sortelia {

// The parts of the window a run drives.
class AlbumView {
 public:
  virtual ~AlbumView() = default;
  // ProgressBar1: shown at 0 with the range 0 .. count, moved along, hidden at the end.
  virtual void showProgress(int count) = 0;
  virtual void setProgress(int position) = 0;
  virtual void hideProgress() = 0;
  // Label3: the picture being worked on.
  virtual void setProgressText(const std::string& text) = 0;
  // A run is going (the run button is off meanwhile).
  virtual void setRunning(bool running) = 0;
};

}  // namespace sortelia
