#include "core/sorting/sorting_loop.h"

namespace sortelia {

SortingLoop::SortingLoop(SortingSession& session, fs::FileOperations& files)
    : journal(session, files),
      comments(session),
      transfer(session, journal, comments, files),
      marks(session, journal, files),
      reduction(session, files),
      session_(session) {
  session.setDeletionPass([this] { marks.DMRKFdelete(); });
  session.setTransferBarrier([this] { transfer.waitForQueue(); });
  session.display().events().subscribe(marks);
  session.display().events().subscribe(comments);
  session.display().events().subscribe(reduction);
  transfer.setReduction(&reduction);
}

SortingLoop::~SortingLoop() {
  session_.setDeletionPass(nullptr);
  session_.setTransferBarrier(nullptr);
  session_.display().events().unsubscribe(marks);
  session_.display().events().unsubscribe(comments);
  session_.display().events().unsubscribe(reduction);
}

}  // namespace sortelia
