#include "core/sorting/sorting_loop.h"

namespace sortelia {

SortingLoop::SortingLoop(SortingSession& session, fs::FileOperations& files)
    : journal(session, files),
      comments(session),
      transfer(session, journal, comments, files),
      marks(session, journal, files),
      session_(session) {
  session.setDeletionPass([this] { marks.DMRKFdelete(); });
  session.display().events().subscribe(marks);
  session.display().events().subscribe(comments);
}

SortingLoop::~SortingLoop() {
  session_.setDeletionPass(nullptr);
  session_.display().events().unsubscribe(marks);
  session_.display().events().unsubscribe(comments);
}

}  // namespace sortelia
