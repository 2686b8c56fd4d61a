// The transfer of the shown picture into a destination slot's folder: name clashes, the copy
// that never overwrites, its verification from storage, the source deleted only after that,
// the journal line, and the step to the next picture.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/ports/long_work.h"
#include "core/session/sorting_session.h"
#include "core/sorting/comment_edit.h"
#include "core/sorting/long_file_step.h"
#include "core/sorting/transfer_queue.h"
#include "core/sorting/transfer_reduction.h"
#include "core/sorting/undo_journal.h"
#include "platform/safe_copy.h"

namespace sortelia {

// Filter of the "another file name" save dialog; its default extension is "jpg".
inline constexpr const char* kJpegSaveFilter =
    "JPEG イメージファイル (*.jpg)|*.jpg|すべてのファイル(*.*)|*.*";

// The numbered name AutoRename tries: folder + "/" + name without its extension + "_" + n +
// ".jpg" for a JPEG (always ".jpg" in lower case), or the file's own extension for a movie, a
// HEIF or a RAW picture.
std::string numberedName(const std::string& folder, const std::string& fileName, long n);

class TransferEngine {
 public:
  TransferEngine(SortingSession& session, UndoJournal& journal, CommentEditor& comments,
                 fs::FileOperations& files);
  ~TransferEngine();
  TransferEngine(const TransferEngine&) = delete;
  TransferEngine& operator=(const TransferEngine&) = delete;

  // Button1Click: click on destination slot (1..12); transfers the shown picture and shows
  // the next one, or explains why there is nothing to transfer. A failed transfer keeps the
  // picture shown. Exceptions of RewriteCMT and of reading for the comparison propagate.
  void Button1Click(int slot);

  // iFileCopy: transfers entry index (1-based) into slot's folder, with its companions when
  // they are kept with their picture, as one step; true when every file of the step was
  // copied, verified, its source deleted in move mode and the step journalled. On false
  // nothing was journalled and every source is untouched. Throws fs::FileReadError when the
  // comparison cannot read a file (the copy of a lone picture then stays, the source too; the
  // copies of a step with companions are removed).
  bool iFileCopy(int slot, int index);

  // The reduction on transfer that a verified copy goes through when a size option is chosen;
  // null: never reduced.
  void setReduction(TransferReduction* reduction) { reduction_ = reduction; }

  // The port the copy and the comparison of a file of at least threshold bytes run through
  // (off the GUI thread, with progress); null: every file is copied inline.
  void setLongWork(LongWork* work, std::int64_t threshold = kLongCopyBytes) {
    longWork_ = work;
    longSteps_.setLongWork(work, threshold);
  }

  // Turns the transfer queue on: from now on a slot click settles its questions, queues the
  // step's file work on the queue's worker and shows the next picture at once; finished steps
  // come back through poster. Null turns it off (every step runs on the spot, as before).
  void setQueue(TaskPoster* poster);
  bool queued() const { return queue_ != nullptr; }
  // What the queue still holds.
  PendingTransfers pendingTransfers() const;
  // Waits (with the progress bar of the LongWork port, when there is one) until every queued
  // step has ended, then takes back what ended. Every command that reads or changes what the
  // queue touches calls it first (through the session's transfer barrier).
  void waitForQueue();
  // Takes back the steps the queue ended: journals each one done, in key order; tells the first
  // failure with its message and puts the list back at the failed picture, so that it and every
  // picture queued after it are shown again (none of those was journalled). True when a failure
  // was taken back.
  bool settleQueue();

 private:
  // A step whose questions are settled: its files with their final names, and the reduction
  // it goes through.
  struct PreparedStep {
    int index = 0;
    std::vector<StepFile> files;
    std::optional<outputs::ReduceSize> reduceTo;
  };

  // Everything of iFileCopy that asks or tells: the same-file refusal, the clash question,
  // AutoRename, the "Org_" name. nullopt: the step does not happen.
  std::optional<PreparedStep> prepareStep(int slot, int index);
  // The file work on the spot, with status texts and the LongWork port, the reduction, the
  // source deletion and the journal line.
  bool runStep(const PreparedStep& step);
  // Queues the step (after waiting while the queue is over its bounds); a step with a
  // reduction waits for the queue and runs on the spot. False when it was not done or queued.
  bool queueStep(int slot, int index);
  // Tells a failed step with the message of its kind; rethrows what the comparison threw.
  void tellFailure(const StepOutcome& outcome);
  // Runs wait (a blocking wait for the queue's worker) with a busy pointer, through the
  // LongWork port when there is one, so that the window keeps painting meanwhile.
  void waitWhile(const std::function<void()>& wait);
  std::string pendingText() const;
  // The status text of what is pending, cleared once the queue is empty.
  void showPending();
  // Button1Click without its guard of the queue's take-back.
  void slotClick(int slot);

  // The step's destinations with the picture (first) going to pictureDestination.
  static void nameStep(std::vector<StepFile>& step, const std::string& pictureDestination);
  bool anyExists(const std::vector<StepFile>& step);
  // Settles a name clash of any file of the step: one question for the step; false stops
  // the transfer.
  bool resolveClash(const std::string& folder, std::vector<StepFile>& step);
  std::optional<std::string> askAnotherName(std::vector<StepFile>& step);
  void refuseOverwrite();

  SortingSession& session_;
  UndoJournal& journal_;
  CommentEditor& comments_;
  fs::FileOperations& files_;
  TransferReduction* reduction_ = nullptr;
  LongWork* longWork_ = nullptr;
  LongFileSteps longSteps_;
  std::unique_ptr<TransferQueue> queue_;
  std::set<std::string> claimed_;  // destinations of queued steps not yet taken back
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // what posted tasks check first
  bool busy_ = false;  // a click or a wait is under way: finished steps wait for it
  bool pendingShown_ = false;
};

}  // namespace sortelia
