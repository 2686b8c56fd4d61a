// A sorting session over real folders with the scripted fakes, the fault-injecting file
// operations and the production sorting loop (transfer, journal, deletion marks, comments).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session/sorting_session.h"
#include "core/sorting/sorting_loop.h"
#include "platform/text_codec.h"
#include "support/fake_ui.h"
#include "support/faulty_file_ops.h"
#include "support/temp_dir.h"

namespace sortelia::testing {

// FakeUi that also lets a test look at the window while a message box is up.
class ObservedUi : public FakeUi {
 public:
  std::function<void(const std::string&)> onMessage;
  // The information text reads back as the window shows it: a byte that is not part of
  // well-formed UTF-8 as U+FFFD, as Qt's text conversion gives it.
  bool infoShownAsUtf8 = false;
  Answer message(Icon icon, const std::string& text, Buttons buttons) override {
    if (onMessage) onMessage(text);
    return FakeUi::message(icon, text, buttons);
  }
  void setInfoText(const std::string& text) override {
    FakeUi::setInfoText(infoShownAsUtf8 ? shownAsUtf8(text) : text);
  }

 private:
  static std::string shownAsUtf8(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
      const std::size_t n = text::utf8SequenceLength(static_cast<unsigned char>(bytes[i]));
      if (i + n <= bytes.size() && text::isValidUtf8(std::string_view(bytes).substr(i, n))) {
        out.append(bytes, i, n);
        i += n;
      } else {
        out += "\xEF\xBF\xBD";
        ++i;
      }
    }
    return out;
  }
};

class SortingFixture : public ::testing::Test {
 protected:
  SortingFixture()
      : src(root.mkdir("src")),
        dst(root.mkdir("dst")),
        session(state, ui, view, ""),
        loop(session, files),
        journal(loop.journal),
        comments(loop.comments),
        transfer(loop.transfer),
        marks(loop.marks) {
    session.settings().SetJpMode();
    files.trashFolder = root.mkdir("Trash");
  }

  // Distinct bytes for each picture name, some kilobytes long.
  static std::string bytesOf(const std::string& name) {
    std::string s = "picture:" + name + ":";
    while (s.size() < 5000) s += name + std::to_string(s.size());
    return s;
  }
  // Writes the pictures into src, scans it and forgets what the scan showed and said.
  void scan(const std::vector<std::string>& names) {
    for (const auto& n : names) root.write("src/" + n, bytesOf(n));
    state.list.sourceDir = src + "/";
    session.scan().rescanSourceFolder();
    forget();
  }
  void forget() {
    ui.messages.clear();
    ui.statusTexts.clear();
    ui.infoTexts.clear();
    view.shown.clear();
  }
  void bind(int slot, const std::string& folder) { session.setSlot(slot, folder); }
  std::string s(const std::string& name) const { return src + "/" + name; }
  std::string d(const std::string& name) const { return dst + "/" + name; }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : ui.messages) out.push_back(m.text);
    return out;
  }

  TempDir root;
  std::string src;
  std::string dst;
  SortingState state;
  ObservedUi ui;
  FakeMainView view;
  FaultyFileOperations files;
  SortingSession session;
  SortingLoop loop;  // wired as the window wires it
  UndoJournal& journal;
  CommentEditor& comments;
  TransferEngine& transfer;
  DeletionMarks& marks;
};

}  // namespace sortelia::testing
