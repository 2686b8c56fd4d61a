#include "core/options/language_setting.h"

#include <utility>

#include "core/display/image_list.h"
#include "core/session/control_captions.h"
#include "core/sorting/undo_journal.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/line_file.h"
#include "platform/path.h"

namespace sortelia {
namespace {

// The main window's captions as designed, shown in English mode.
void SetEnMode(SortingSession& session) {
  SortingState& state = session.state();
  ControlPanel& controls = session.controls();
  state.captions.deleteCaption = "Delete";
  state.captions.restoreCaption = "Restore";
  // As a start in English mode has them: the first hint of the design, and no separate help
  // text on the item, which then shows its own caption.
  state.undo.hint = SortingState{}.undo.hint;
  controls.setHint(Control::Undo1, "");
  applyControlCaptions(controls, false);
}

}  // namespace

std::optional<bool> readJapaneseMode(const std::string& dataFolder) {
  if (dataFolder.empty()) return std::nullopt;
  const auto lines = readTextLines(dataFolder + "/" + kLanguageFileName);
  if (!lines || lines->empty()) return std::nullopt;
  const std::string word = text::trimWhitespace((*lines)[0]);
  if (word == "Japanese") return true;
  if (word == "English") return false;
  return std::nullopt;
}

bool writeJapaneseMode(const std::string& dataFolder, bool japanese) {
  if (dataFolder.empty() || !fs::makeDirectories(dataFolder).ok()) return false;
  return writeTextLines(dataFolder + "/" + kLanguageFileName, {japanese ? "Japanese" : "English"})
      .ok();
}

void applyStoredLanguage(SortingSession& session) {
  if (const auto japanese = readJapaneseMode(session.dataFolder())) {
    session.state().options.japaneseMode = *japanese;
  }
}

void switchLanguage(SortingSession& session, bool japanese) {
  SortingState& state = session.state();
  state.options.japaneseMode = japanese;
  (void)writeJapaneseMode(session.dataFolder(), japanese);
  if (japanese) {
    session.settings().SetJpMode();
  } else {
    SetEnMode(session);
  }
  // The undo item keeps naming the newest step of the journal, under the new hint.
  if (!state.undo.lines.empty()) {
    const auto newest = parseCommaText(state.undo.lines.back());
    session.controls().setCaption(
        Control::Undo1,
        format("%s ☆ %s ☆", {state.undo.hint, newest.empty() ? std::string() : newest.front()}));
  } else {
    session.controls().setCaption(Control::Undo1, state.undo.hint + kNoRecord);
  }
  // The delete button names what it would do to the entry on display.
  const SourceList& list = state.list;
  std::string path;
  const std::string* shown = list.shownEntry();
  const bool marked = shown && ChkDMRK(*shown, path);
  session.controls().setCaption(
      Control::Button13, marked ? state.captions.restoreCaption : state.captions.deleteCaption);
}

}  // namespace sortelia
