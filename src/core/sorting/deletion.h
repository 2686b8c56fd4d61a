// Deletion marks and the deferred deletion pass: the Delete button only marks a picture; the
// marked files, and the full-size files kept beside reduced moves, are deleted in one pass
// after a confirmation, before the list is rebuilt and when the program ends.
#pragma once

#include <string>

#include "core/display/entry_events.h"
#include "core/session/sorting_session.h"
#include "core/sorting/undo_journal.h"
#include "platform/safe_copy.h"

namespace sortelia {

class DeletionMarks : public EntryListener {
 public:
  DeletionMarks(SortingSession& session, UndoJournal& journal, fs::FileOperations& files);

  // Button13Click: in sorting mode marks the shown picture, journals it and moves on; in
  // viewer mode toggles the shown picture's mark, which stays shown.
  void Button13Click();
  // MrkDelImg: toggles the mark of entry i (0-based); true when it is marked afterwards.
  // An i outside the list changes nothing and gives false.
  bool MrkDelImg(int i);
  // DelMark: shows or hides the deletion overlay and sets the controls that depend on it.
  void DelMark(bool shown);
  // Every shown entry shows its own mark.
  void entryShown(const ShownEntry& e) override { DelMark(e.marked); }
  // DMRKFdelete: the deletion pass over marked pictures, after one question; ends with
  // tgMovORGdel. Files that cannot be deleted are named one by one and not counted.
  void DMRKFdelete();
  // tgMovORGdel: the pass over the "Org_" files kept beside reduced moves.
  void tgMovORGdel();

 private:
  // Deletes one listed file; false (after its message) when that failed.
  bool deleteListed(const std::string& path, int k, int n);
  void reportUndeletable(const std::string& path);

  SortingSession& session_;
  UndoJournal& journal_;
  fs::FileOperations& files_;
};

}  // namespace sortelia
