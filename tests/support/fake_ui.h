// Scripted fakes of the ports: answers are queued in advance, everything shown is recorded.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/main_view.h"
#include "core/ports/ui.h"

namespace sortelia::testing {

struct RecordedMessage {
  Icon icon;
  std::string text;
  Buttons buttons;
};

class FakeUi : public Ui {
 public:
  // Queues the answer of the next message box; without one, Yes/No boxes answer No,
  // OK/Cancel boxes Cancel and OK boxes OK.
  void queueAnswer(Answer a) { answers_.push_back(a); }
  // Queues the result of the next open or save dialog (nullopt = cancelled).
  void queueDialogResult(std::optional<std::string> path) { dialogResults_.push_back(path); }

  Answer message(Icon icon, const std::string& text, Buttons buttons) override;
  std::optional<std::string> openFile(const FileDialog& d) override;
  std::optional<std::string> saveFile(const FileDialog& d) override;
  void setStatusText(const std::string& text) override;
  void setInfoText(const std::string& text) override;
  std::string infoText() const override { return info_; }
  void setBusy(bool on) override;
  void processPendingInput() override { ++pendingInputCalls; }
  bool modalWindowOpen() const override { return modalOpen; }
  bool modalOpen = false;  // a test's stand-in for a modal window in front

  std::vector<RecordedMessage> messages;
  std::vector<FileDialog> dialogs;
  std::vector<std::string> statusTexts;  // every status text, oldest first
  std::vector<std::string> infoTexts;    // every information text, oldest first
  int busyDepth = 0;                     // hourglass nesting now
  int busyOnCalls = 0;
  int pendingInputCalls = 0;

  std::string status() const { return statusTexts.empty() ? "" : statusTexts.back(); }

 private:
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> dialogResults_;
  std::string info_;
};

// Records what the main window is told to show.
class FakeMainView : public MainView {
 public:
  void showEntry(int n, const std::string& entry, const std::string& path) override {
    shown.push_back({n, entry, path});
  }
  void clearPicture() override { ++clearPictureCalls; }
  // Recorded by the control's identity, so tests read them as Control::Button13.
  void setCaption(Control c, const std::string& t) override { captions[c] = t; }
  void setHint(Control c, const std::string& t) override { hints[c] = t; }
  void setEnabled(Control c, bool e) override { enabled[c] = e; }
  void setChecked(Control c, bool v) override { checked[c] = v; }
  void setEmphasized(Control c, bool v) override { emphasized[c] = v; }
  bool isChecked(Control c) const override {
    auto it = checked.find(c);
    return it != checked.end() && it->second;
  }
  void showSlot(int i, const std::string& caption, const std::string& folder) override {
    slotCaptions[i] = caption;
    slotFolders[i] = folder;
  }
  WindowBounds normalBounds() const override { return bounds; }
  void setBounds(const WindowBounds& b) override {
    bounds = b;
    boundsHistory.push_back(b);
  }
  bool isMaximized() const override { return maximized; }
  void setMaximized(bool m) override { maximized = m; }
  void showPicture(std::shared_ptr<const imaging::Bitmap> p) override {
    picture = std::move(p);
    ++showPictureCalls;
  }
  int displayHeight() const override { return areaHeight; }
  int displayWidth() const override { return areaWidth; }
  void setPictureRect(const Rect& r) override { pictureRect = r; }
  void setScreenPicture(std::shared_ptr<const imaging::Bitmap> s) override {
    screenPicture = std::move(s);
  }
  void setDateOverlay(const std::string& d, const std::string& s) override {
    dateText = d;
    sizeText = s;
  }
  void setDateOverlayVisible(bool v) override { dateVisible = v; }
  void setDeletionOverlay(bool v) override { deletionOverlay = v; }
  int deletionLabelHeight() const override { return 24; }
  void showMovieButton(const std::string& caption, const Rect& r) override {
    movieCaption = caption;
    movieRect = r;
    movieVisible = true;
  }
  void hideMovieButton() override { movieVisible = false; }
  void setCommentFieldVisible(bool v) override { commentVisible = v; }
  bool commentFieldVisible() const override { return commentVisible; }
  std::string commentText() const override { return comment; }
  void setCommentText(const std::string& t) override { comment = t; }
  void focusCommentField() override { ++commentFocusCalls; }
  void setCommentFieldRect(const Rect& r) override { commentRect = r; }
  void setCommentFieldReadOnly(bool r) override { commentReadOnly = r; }
  void setStatusAlert(bool red) override { statusRed = red; }
  std::string intervalText() const override { return interval; }
  void setIntervalText(const std::string& t) override { interval = t; }

  struct Shown {
    int n;
    std::string entry;
    std::string path;
  };
  std::vector<Shown> shown;
  int clearPictureCalls = 0;
  std::map<Control, std::string> captions, hints;
  std::map<Control, bool> enabled, checked, emphasized;
  std::map<int, std::string> slotCaptions, slotFolders;
  WindowBounds bounds;
  std::vector<WindowBounds> boundsHistory;
  bool maximized = false;
  std::string interval;
  std::shared_ptr<const imaging::Bitmap> picture;
  int showPictureCalls = 0;
  int areaHeight = 500;
  int areaWidth = 400;
  Rect pictureRect;
  std::shared_ptr<const imaging::Bitmap> screenPicture;
  std::string dateText, sizeText;
  bool dateVisible = false;
  bool deletionOverlay = false;
  std::string movieCaption;
  Rect movieRect;
  bool movieVisible = false;
  bool commentVisible = false;
  std::string comment;
  int commentFocusCalls = 0;
  bool commentReadOnly = false;
  Rect commentRect;
  bool statusRed = false;
};

}  // namespace sortelia::testing
