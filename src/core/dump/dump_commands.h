// The dump window's logic: the two panes (the dumped file's path and its dump lines), opening a
// file into a pane, the comparison of the two dumps, and opening the camera parameter file in
// the desktop's editor.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/session/sorting_session.h"
#include "outputs/dump/hex_dump.h"
#include "platform/progress.h"

namespace sortelia {

struct DumpPane {
  std::string path;                // shown in the pane's caption panel
  std::vector<std::string> lines;  // the dump shown in the pane's view
};

class DumpCommands {
 public:
  explicit DumpCommands(SortingSession& session);

  // Pane 1 is the upper, pane 2 the lower.
  const DumpPane& pane(int n) const { return panes_[index(n)]; }

  // MakeDump: the pane's caption takes path and its view the dump of the file. A file that
  // cannot be read is reported and leaves the pane's previous dump. True when dumped.
  bool MakeDump(int pane, const std::string& path);
  // DmpFileOpen: the picture open dialog chooses the file to dump into the pane.
  bool DmpFileOpen(int pane);
  // Chk: compares the two dumps line by line (nothing when either pane is empty). Before each
  // line, showCaption gets the progress caption and pending input is handled,
  // so that a click can cancel the token and end the walk.
  outputs::DumpComparison Chk(const CancelToken& token,
                              const std::function<void(const std::string&)>& showCaption);
  // Edit: opens "zel-prm.txt" of the data folder in the application the desktop associates
  // with it (the file is written first when missing). False when it was not started.
  bool Edit();

 private:
  static std::size_t index(int n) { return n == 2 ? 1 : 0; }

  SortingSession& session_;
  std::array<DumpPane, 2> panes_;
};

}  // namespace sortelia
