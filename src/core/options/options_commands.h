// The options window's logic: the option values it edits (as one Options value applied at
// once), the photo information item mask behind its check list, the two information exports,
// the rename by shooting time, and the picture its dump list command starts from.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/session/sorting_session.h"
#include "core/state/sorting_state.h"
#include "exif/photo_info.h"
#include "platform/batch_report.h"

namespace sortelia {

// The check marks of the 27 photo information items for a mask: item k is checked exactly when
// character k is "1" (a short mask leaves the missing items unchecked).
std::vector<bool> itemChecksOf(const std::string& mask);

// The mask of 27 check marks: "1" for checked, "0" for not, in item order.
std::string maskOfItemChecks(const std::vector<bool>& checks);

// The text telling the person which files a batch could not handle, one line per failure
// (path and reason); "" when nothing failed. At most maxLines lines are listed, the rest
// counted.
std::string batchFailureText(const BatchReport& report, bool japanese, std::size_t maxLines = 20);

class OptionsCommands {
 public:
  explicit OptionsCommands(SortingSession& session);

  // The values the window shows when it opens; the window edits a copy.
  const Options& options() const { return session_.state().options; }
  // Applies the window's edited copy as one value (every control acts at once); a changed
  // language is stored and switches the main window's captions; changed options kept outside
  // "zel.ini" are stored in "zel-opt.txt".
  void apply(const Options& edited);

  // SaveImgInfo: asks, then writes the photo information of the listed pictures into
  // "_Photo.txt" (mode 1) or into one ".txt" file per picture (mode 2).
  void SaveImgInfo(int mode);
  // Button2Click: asks, renames every unmarked picture after its shooting time, then runs the
  // deletion pass and rebuilds the image list.
  void Button2Click();

  // The picture the dump list starts from: the entry at ViewIndex in viewer mode, else at
  // SortIndex, without its deletion mark; nullopt when no entry is at that position.
  std::optional<std::string> dumpListPicture() const;
  // RWparam after the dump window closed: the camera parameter file is read again (written
  // first when it went missing); an error is shown to the person.
  void reloadCameraParams();

  // Closing the window recomposes the main window's caption, whose mode words follow the
  // options: through recomposeCaption when the viewer installs its own, else windowCaption.
  std::function<void()> recomposeCaption;
  void FormClose();

 private:
  void reportFailures(const BatchReport& report);

  SortingSession& session_;
};

}  // namespace sortelia
