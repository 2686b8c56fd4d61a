// The sorting loop's commands wired to one session: the transfer into a slot, the undo
// journal, deletion marks with the deferred deletion pass, and comment editing. Creating it
// installs the deletion pass into the session and subscribes the marks and the comment editor
// to the entries the display shows.
#pragma once

#include "core/session/sorting_session.h"
#include "core/sorting/comment_edit.h"
#include "core/sorting/deletion.h"
#include "core/sorting/transfer.h"
#include "core/sorting/transfer_reduction.h"
#include "core/sorting/undo_journal.h"
#include "platform/safe_copy.h"

namespace sortelia {

class SortingLoop {
 public:
  // files performs every file operation of the loop (tests pass one that injects faults).
  SortingLoop(SortingSession& session, fs::FileOperations& files);
  ~SortingLoop();
  SortingLoop(const SortingLoop&) = delete;
  SortingLoop& operator=(const SortingLoop&) = delete;

  // The port the copies and comparisons of large files run through, for the transfer and for
  // the undo of a move alike; null: every file is copied inline.
  void setLongWork(LongWork* work, std::int64_t threshold = kLongCopyBytes) {
    transfer.setLongWork(work, threshold);
    journal.setLongWork(work, threshold);
  }

  UndoJournal journal;
  CommentEditor comments;
  TransferEngine transfer;
  DeletionMarks marks;
  TransferReduction reduction;

 private:
  SortingSession& session_;
};

}  // namespace sortelia
