// The undo journal UndoBox: one line per completed sorting step, the newest last, and the Undo
// command that reverses the newest one and steps the picture back.
#pragma once

#include <string>
#include <vector>

#include "core/session/sorting_session.h"
#include "core/sorting/long_file_step.h"
#include "platform/safe_copy.h"

namespace sortelia {

// The kinds of journal line.
inline constexpr const char* kJournalCopy = "Copy";
inline constexpr const char* kJournalMove = "Move";
inline constexpr const char* kJournalMovRS = "MovRS";
inline constexpr const char* kJournalDel = "Del";
// Undo1's caption text while the journal is empty.
inline constexpr const char* kNoRecord = "★記録なし★";
// Prefix of the full-size file kept beside a picture reduced on transfer.
inline constexpr const char* kOrgPrefix = "Org_";

// One file of a step: where it was, where it went.
struct JournalFile {
  std::string source;
  std::string destination;
};

// One journal line: kind, ", \"", source, "\", \"", destination, "\"". A double quote inside
// a path is doubled, so that every path reads back unchanged.
std::string composeJournalLine(const std::string& kind, const std::string& source,
                               const std::string& destination);
// The line of a step of several files: the picture's pair first, then each companion's pair,
// all in the same form (kind, then source and destination of each file).
std::string composeJournalLine(const std::string& kind, const std::vector<JournalFile>& files);

// The files of a parsed line (kind first): its items after the kind, taken in pairs; a line
// of one file gives one pair, a line without paths one pair of empty texts.
std::vector<JournalFile> journalFiles(const std::vector<std::string>& items);

// Comma-text parsing: items separated by commas; blanks and control characters around an
// item are skipped; an item that starts with a double quote runs to the matching closing
// quote, a doubled quote inside standing for one.
std::vector<std::string> parseCommaText(const std::string& line);

// folder of path + "Org_" + file name of path: the kept full-size file of a reduced move.
std::string keptOriginalPath(const std::string& path);

class UndoJournal {
 public:
  UndoJournal(SortingSession& session, fs::FileOperations& files);

  // SetUndoMrk: appends the line for one completed step and shows its kind in Undo1.
  void SetUndoMrk(const std::string& kind, const std::string& source,
                  const std::string& destination);
  // The same for a step of several files (the picture first).
  void SetUndoMrk(const std::string& kind, const std::vector<JournalFile>& files);
  // SetUndoCap: caption of Undo1 := "%s ☆ %s ☆" with Undo1's hint and text.
  void SetUndoCap(const std::string& text);
  // Undo1Click: reverses the newest line, removes it and steps SortIndex back by one.
  // A line that can never be taken back (a copy whose copy or source has gone, a move whose
  // file in the destination has gone) is reported and removed as if undone, deleting nothing
  // that may be the last copy of a picture, so that the older lines stay reachable.
  // A move whose file is there but cannot be put back now (its name is taken again, its
  // folder is gone, the copy back does not verify) deletes nothing, says so and keeps its
  // line, to be tried again once the cause is cleared; nothing else changes then.
  void Undo1Click();

  // The port the copy back and the comparison of a moved file of at least threshold bytes run
  // through (off the GUI thread, with progress); null: every file is put back inline.
  void setLongWork(LongWork* work, std::int64_t threshold = kLongCopyBytes) {
    longSteps_.setLongWork(work, threshold);
  }

 private:
  void undoCopy(const std::string& source, const std::string& destination);
  // Takes back a companion's copy: quietly, and only where its source still stands.
  void undoCompanionCopy(const JournalFile& file);
  // Puts back every file of a move; false keeps the line (nothing deleted, the files put back
  // by this attempt removed again).
  bool undoMove(const std::vector<JournalFile>& files, bool reduced);
  // created tells whether the copy back made a new file (not a picture that stood there).
  bool putBack(const std::string& from, const std::string& to, const std::string& title,
               bool& created);
  bool sameBytes(const std::string& a, const std::string& b);
  void undoDel(const std::string& item);
  std::string movedFileGone(const std::string& path) const;
  void reportDropped(const std::string& text);
  void reportFailure(const std::string& path, int error);

  SortingSession& session_;
  fs::FileOperations& files_;
  LongFileSteps longSteps_;
};

}  // namespace sortelia
