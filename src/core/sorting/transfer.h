// The transfer of the shown picture into a destination slot's folder: name clashes, the copy
// that never overwrites, its verification from storage, the source deleted only after that,
// the journal line, and the step to the next picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports/long_work.h"
#include "core/session/sorting_session.h"
#include "core/sorting/comment_edit.h"
#include "core/sorting/long_file_step.h"
#include "core/sorting/transfer_reduction.h"
#include "core/sorting/undo_journal.h"
#include "platform/safe_copy.h"

namespace sortelia {

// Filter of the "another file name" save dialog; its default extension is "jpg".
inline constexpr const char* kJpegSaveFilter =
    "JPEG イメージファイル (*.jpg)|*.jpg|すべてのファイル(*.*)|*.*";

// The numbered name AutoRename tries: folder + "/" + name without its extension + "_" + n +
// ".jpg" (always ".jpg" in lower case).
std::string numberedName(const std::string& folder, const std::string& fileName, long n);

class TransferEngine {
 public:
  TransferEngine(SortingSession& session, UndoJournal& journal, CommentEditor& comments,
                 fs::FileOperations& files);

  // Button1Click: click on destination slot (1..12); transfers the shown picture and shows
  // the next one, or explains why there is nothing to transfer. A failed transfer keeps the
  // picture shown. Exceptions of RewriteCMT and of reading for the comparison propagate.
  void Button1Click(int slot);

  // iFileCopy: transfers entry index (1-based) into slot's folder; true when it was copied,
  // verified, its source deleted in move mode and the step journalled. On false nothing was
  // journalled and the source is untouched. Throws fs::FileReadError when the comparison
  // cannot read a file (the copy then stays, the source too).
  bool iFileCopy(int slot, int index);

  // The reduction on transfer that a verified copy goes through when a size option is chosen;
  // null: never reduced.
  void setReduction(TransferReduction* reduction) { reduction_ = reduction; }

  // The port the copy and the comparison of a file of at least threshold bytes run through
  // (off the GUI thread, with progress); null: every file is copied inline.
  void setLongWork(LongWork* work, std::int64_t threshold = kLongCopyBytes) {
    longSteps_.setLongWork(work, threshold);
  }

 private:
  // Where the copy goes after a name clash; nullopt stops the transfer. replace is set when
  // the person agreed to overwrite the existing destination.
  std::optional<std::string> resolveClash(const std::string& folder, const std::string& source,
                                          std::string destination, bool& replace);
  std::optional<std::string> askAnotherName(std::string destination);
  bool copyAndVerify(const std::string& source, const std::string& target);
  std::optional<std::string> freeTemporaryName(const std::string& destination);
  void refuseOverwrite();

  SortingSession& session_;
  UndoJournal& journal_;
  CommentEditor& comments_;
  fs::FileOperations& files_;
  TransferReduction* reduction_ = nullptr;
  LongFileSteps longSteps_;
};

}  // namespace sortelia
