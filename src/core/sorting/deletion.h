// Deletion marks and the deferred deletion pass: the Delete button (and the browser's Del.) only
// marks a picture; the marked files with their companions, and the full-size files kept beside
// reduced moves, are deleted in one pass after a confirmation, before the list is rebuilt and
// when the program ends. With Options::trashDeleted they go to the desktop Trash instead, and a
// file the Trash cannot take is deleted for good only when the person says so.
#pragma once

#include <string>
#include <vector>

#include "core/display/entry_events.h"
#include "core/session/sorting_session.h"
#include "core/sorting/undo_journal.h"
#include "platform/safe_copy.h"

namespace sortelia {

class DeletionMarks : public EntryListener {
 public:
  DeletionMarks(SortingSession& session, UndoJournal& journal, fs::FileOperations& files);

  // Button13Click: in sorting mode marks the shown picture, journals it and moves on, after
  // the transfers queued before it were taken back (a failure among them is told instead); in
  // viewer mode toggles the shown picture's mark, which stays shown.
  void Button13Click();
  // MrkDelImg: toggles the mark of entry i (0-based); true when it is marked afterwards.
  // An i outside the list changes nothing and gives false.
  bool MrkDelImg(int i);
  // DelMark: shows or hides the deletion overlay and sets the controls that depend on it.
  void DelMark(bool shown);
  // Every shown entry shows its own mark.
  void entryShown(const ShownEntry& e) override { DelMark(e.marked); }
  // DMRKFdelete: the deletion pass over marked pictures, after one question; each picture takes
  // its companions along (when they are kept with their picture), and only when it went itself.
  // Ends with tgMovORGdel. Pictures that cannot be deleted are named one by one and not
  // counted; the count is of pictures, not of their companions.
  void DMRKFdelete();
  // tgMovORGdel: the pass over the "Org_" files kept beside reduced moves.
  void tgMovORGdel();

 private:
  // The companions of a listed picture that go with it; none when they are not kept with it.
  std::vector<std::string> companionsOf(const std::string& picture) const;
  // Deletes one listed file, showing which; false when it stays.
  bool deleteListed(const std::string& path, int k, int n);
  // Deletes one file, or moves it to the Trash when the options say so; a file the Trash
  // cannot take is deleted only after the person said yes. False (after its message, if any)
  // when the file stays.
  bool discard(const std::string& path);
  void reportUndeletable(const std::string& path);

  SortingSession& session_;
  UndoJournal& journal_;
  fs::FileOperations& files_;
};

}  // namespace sortelia
