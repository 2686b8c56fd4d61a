#include "support/fake_ui.h"

namespace sortelia::testing {

Answer FakeUi::message(Icon icon, const std::string& text, Buttons buttons) {
  messages.push_back({icon, text, buttons});
  if (!answers_.empty()) {
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  switch (buttons) {
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::OkCancel:
      return Answer::Cancel;
    case Buttons::Ok:
      break;
  }
  return Answer::Ok;
}

std::optional<std::string> FakeUi::openFile(const FileDialog& d) {
  dialogs.push_back(d);
  if (dialogResults_.empty()) return std::nullopt;
  auto r = dialogResults_.front();
  dialogResults_.pop_front();
  return r;
}

std::optional<std::string> FakeUi::saveFile(const FileDialog& d) { return openFile(d); }

void FakeUi::setStatusText(const std::string& text) { statusTexts.push_back(text); }

void FakeUi::setInfoText(const std::string& text) {
  info_ = text;
  infoTexts.push_back(text);
}

void FakeUi::setBusy(bool on) {
  busyDepth += on ? 1 : -1;
  if (on) ++busyOnCalls;
}

}  // namespace sortelia::testing
