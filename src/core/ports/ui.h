// The ports through which domain code talks to the person: messages, dialogs, status bar,
// information window, busy cursor. Qt implements them in app/, tests with a scripted fake.
#pragma once

#include <optional>
#include <string>

namespace sortelia {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// A picture open or save dialog.
struct FileDialog {
  std::string title;
  std::string fileName;    // initial text of the file-name field
  std::string initialDir;  // folder shown first
  // Pairs of description and patterns, "|"-separated: "Pictures|*.JPG;*.MOV|All|*.*";
  // empty shows every file. Patterns match either letter case.
  std::string filter;
  // The open dialog accepts any name, also one that does not exist: the person picks a
  // place (a folder, possibly new and empty) rather than a file.
  bool anyName = false;
};

class Ui {
 public:
  virtual ~Ui() = default;
  // Modal message box; returns the button the person chose.
  virtual Answer message(Icon icon, const std::string& text, Buttons buttons) = 0;
  // Picture open dialog; the chosen path, or nullopt when cancelled.
  virtual std::optional<std::string> openFile(const FileDialog& d) = 0;
  // Picture save dialog; the chosen path, or nullopt when cancelled.
  virtual std::optional<std::string> saveFile(const FileDialog& d) = 0;
  // The status bar's single text.
  virtual void setStatusText(const std::string& text) = 0;
  // The information window's whole text (lines joined by CR LF).
  virtual void setInfoText(const std::string& text) = 0;
  virtual std::string infoText() const = 0;
  // Hourglass cursor for the whole application while on.
  virtual void setBusy(bool on) = 0;
  // Lets pending input be handled during a long loop.
  virtual void processPendingInput() = 0;
  // A modal window (a dialog, a message box, a window of the program shown modally) is open in
  // front of the main window: what happens behind it waits to be told.
  virtual bool modalWindowOpen() const { return false; }
};

// SetBusyCursor as a scope: the hourglass is on for the guard's lifetime and always switched
// off again, also when the scope is left by an exception.
class BusyCursor {
 public:
  explicit BusyCursor(Ui& ui) : ui_(ui) { ui_.setBusy(true); }
  ~BusyCursor() { ui_.setBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Ui& ui_;
};

}  // namespace sortelia
