// The batch run of the reduced-size save window ("全実行"): every picture of the image list
// reduced into the output folder while the two album pages are written. The run itself is
// outputs::album::runAlbum on a worker thread; this command builds its job from the window
// and the session, and applies its progress and its end on the GUI thread, where they arrive
// through the TaskPoster.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "core/ports/album_view.h"
#include "core/ports/timer.h"
#include "core/session/sorting_session.h"
#include "core/stretch/stretch_save.h"
#include "outputs/album/album_run.h"
#include "platform/progress.h"

namespace sortelia {

// Runs a job away from the GUI thread. The default starts a thread of the command's own.
using BackgroundRunner = std::function<void(std::function<void()> job)>;

class AlbumCommand {
 public:
  // poster brings the worker's progress and end back to the GUI thread; runner, when given,
  // replaces the command's own worker thread.
  AlbumCommand(SortingSession& session, TaskPoster& poster, BackgroundRunner runner = {});
  // Stops a run still going and waits for its worker; what it posts later is dropped.
  ~AlbumCommand();
  AlbumCommand(const AlbumCommand&) = delete;
  AlbumCommand& operator=(const AlbumCommand&) = delete;

  // Button4Click: with a preview at the fields' size and the person's Yes, starts the run
  // over the image list with the window's size, quality and effects. windowWidth sets the
  // grid's columns. Returns at once; the run reports through view.
  void Button4Click(const StretchSave& save, AlbumView& view, int windowWidth);
  // FormMouseDown: a mouse press on the window stops the run after the pictures in hand.
  void FormMouseDown();
  bool running() const { return running_; }

  // Writes each missing page template into the data folder with its default content.
  void writeMissingTemplates() const;

  // The outcome of the last run that ended (empty when it ended with an error).
  const std::optional<outputs::album::AlbumResult>& lastResult() const { return lastResult_; }

 private:
  struct Run;
  void finish(const std::shared_ptr<Run>& run);

  SortingSession& session_;
  TaskPoster& poster_;
  BackgroundRunner runner_;
  std::thread worker_;
  std::shared_ptr<Run> current_;
  bool running_ = false;
  std::optional<outputs::album::AlbumResult> lastResult_;
};

}  // namespace sortelia
