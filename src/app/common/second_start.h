// The local socket through which a later start talks to the running copy: it asks the window
// to come to the front, or hands over the folder or file it was started with.
//
// One request per connection, one line each way: "activate" or "open " followed by the path,
// percent-encoded so that any byte of it travels on one line; the answer is "ok" (done, or
// accepted for opening) or "error". A request longer than kMaxStartRequest bytes, a path that
// is not absolute UTF-8 or holds a NUL byte, and any other line are refused.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>
#include <string>

namespace sortelia::app {

// The longest request line a listener reads, its line end included.
inline constexpr qint64 kMaxStartRequest = 16 * 1024;

// Path of the socket of the running instance, in the per-user runtime folder.
std::string instanceSocketPath(const std::string& runtimeFolder);

// Asks the running instance to bring its main window to the front; true when it answered
// within timeoutMs.
bool askFirstInstanceToActivate(const std::string& socketPath, int timeoutMs);

// Hands an absolute path to the running instance, which comes to the front and opens it; true
// when it accepted the path within timeoutMs.
bool handStartPathToFirstInstance(const std::string& socketPath, const std::string& path,
                                  int timeoutMs);

// The running instance's end: answers each request, then calls onActivate or onOpen.
class SecondStartListener : public QObject {
  Q_OBJECT
 public:
  std::function<void()> onActivate;
  std::function<void(const std::string& path)> onOpen;

  // Listens on socketPath, replacing a socket left there by a run that ended without cleaning
  // up (only the holder of the instance lock may call this); false when that fails.
  bool listen(const std::string& socketPath);

 private:
  QLocalServer server_;
};

}  // namespace sortelia::app
