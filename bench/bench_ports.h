// Ports that show nothing and the big test picture, shared by the display benchmarks.
#pragma once

#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/main_view.h"
#include "core/ports/ui.h"
#include "imaging/jpeg_codec.h"

extern "C" char** environ;

namespace sortelia::bench {

// Runs a program with its arguments (no shell); true when it exits with status 0.
inline bool runProgram(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Ports that show nothing: what is measured is the domain's work up to the hand-over.
class NullUi : public Ui {
 public:
  Answer message(Icon, const std::string&, Buttons) override { return Answer::Ok; }
  std::optional<std::string> openFile(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialog&) override { return std::nullopt; }
  void setStatusText(const std::string&) override {}
  void setInfoText(const std::string&) override {}
  std::string infoText() const override { return ""; }
  void setBusy(bool) override {}
  void processPendingInput() override {}
};

class NullView : public MainView {
 public:
  void showEntry(int, const std::string&, const std::string&) override {}
  void clearPicture() override {}
  void setCaption(Control, const std::string&) override {}
  void setHint(Control, const std::string&) override {}
  void setEnabled(Control, bool) override {}
  void setChecked(Control, bool) override {}
  bool isChecked(Control) const override { return false; }
  void setEmphasized(Control, bool) override {}
  void showSlot(int, const std::string&, const std::string&) override {}
  WindowBounds normalBounds() const override { return {}; }
  void setBounds(const WindowBounds&) override {}
  bool isMaximized() const override { return false; }
  void setMaximized(bool) override {}
  void showPicture(std::shared_ptr<const imaging::Bitmap> p) override { picture = std::move(p); }
  int displayHeight() const override { return 560; }
  int displayWidth() const override { return 460; }
  void setPictureRect(const Rect&) override {}
  void setScreenPicture(std::shared_ptr<const imaging::Bitmap> s) override {
    screen = std::move(s);
  }
  void setDateOverlay(const std::string&, const std::string&) override {}
  void setDateOverlayVisible(bool) override {}
  void setDeletionOverlay(bool) override {}
  int deletionLabelHeight() const override { return 24; }
  void showMovieButton(const std::string&, const Rect&) override {}
  void hideMovieButton() override {}
  void setCommentFieldVisible(bool) override {}
  bool commentFieldVisible() const override { return false; }
  std::string commentText() const override { return ""; }
  void setCommentText(const std::string&) override {}
  void focusCommentField() override {}
  void setCommentFieldRect(const Rect&) override {}
  void setCommentFieldReadOnly(bool) override {}
  void setStatusAlert(bool) override {}
  std::string intervalText() const override { return "3"; }
  void setIntervalText(const std::string&) override {}
  std::shared_ptr<const imaging::Bitmap> picture;
  std::shared_ptr<const imaging::Bitmap> screen;
};

// A camera-like 6000 x 4000 JPEG (smooth gradients with fine texture), made once.
inline std::string bigJpeg() {
  static std::string path;
  if (!path.empty()) return path;
  path = (std::filesystem::temp_directory_path() / "sortelia-bench-24mp.jpg").string();
  if (std::filesystem::exists(path)) return path;
  imaging::Bitmap b(6000, 4000);
  for (int y = 0; y < b.height(); ++y) {
    std::uint8_t* row = b.row(y);
    for (int x = 0; x < b.width(); ++x) {
      row[3 * x] = static_cast<std::uint8_t>((x / 24 + y / 16) & 0xFF);
      row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / 4000) ^ ((x * y) & 7));
      row[3 * x + 2] = static_cast<std::uint8_t>(x * 255 / 6000);
    }
  }
  std::ofstream(path, std::ios::binary) << imaging::encodeJpeg(b, 90);
  return path;
}

}  // namespace sortelia::bench
