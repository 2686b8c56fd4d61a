// The thumbnail browser's window as its logic sees it.
#pragma once

#include <string>

#include "imaging/bitmap.h"

namespace sortelia {

class BrowserView {
 public:
  virtual ~BrowserView() = default;
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& text) = 0;
  // Button2 ("止").
  virtual void setStopEnabled(bool enabled) = 0;
  // The grid's width in pixels (cells are placed by it) and its vertical scroll step.
  virtual int gridWidth() const = 0;
  virtual void setScrollStep(int pixels) = 0;
  virtual void scrollToTop() = 0;
  // The cells, their marks or their pictures changed: paint them again.
  virtual void gridChanged() = 0;
  // Opens the full-size window with picture, the decoded file of path: at real size in a
  // sizeable window, else fitted full-screen.
  virtual void showFullSize(const std::string& path, imaging::Bitmap picture, bool realSize) = 0;
  // Opens the print window modally for fileList (quoted paths, CR LF between).
  virtual void openPrint(const std::string& fileList, const std::string& caption) = 0;
};

}  // namespace sortelia
