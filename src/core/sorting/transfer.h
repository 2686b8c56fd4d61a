// The transfer of the shown picture into a destination slot's folder: name clashes, the copy
// that never overwrites, its verification from storage, the source deleted only after that,
// the journal line, and the step to the next picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    longSteps_.setLongWork(work, threshold);
  }

 private:
  // The copies a step made; removed when the scope is left without commit() (also by an
  // exception). Only files the step itself created are added.
  class StepCopies {
   public:
    explicit StepCopies(fs::FileOperations& files) : files_(files) {}
    ~StepCopies();
    StepCopies(const StepCopies&) = delete;
    StepCopies& operator=(const StepCopies&) = delete;
    void add(const std::string& path) { paths_.push_back(path); }
    void commit() { paths_.clear(); }

   private:
    fs::FileOperations& files_;
    std::vector<std::string> paths_;
  };

  // One file of a step: where it comes from, the name it is to have, the name it is copied
  // to (a temporary one beside an existing file it replaces).
  struct StepFile {
    std::string source;
    std::string destination;
    std::string target;
    bool replace = false;
  };

  // The step's destinations with the picture (first) going to pictureDestination.
  static void nameStep(std::vector<StepFile>& step, const std::string& pictureDestination);
  bool anyExists(const std::vector<StepFile>& step);
  // Settles a name clash of any file of the step: one question for the step; false stops
  // the transfer.
  bool resolveClash(const std::string& folder, std::vector<StepFile>& step);
  std::optional<std::string> askAnotherName(std::vector<StepFile>& step);
  // Copies and verifies every file of the step; on failure removes the step's copies (a lone
  // picture's unverified copy stays for inspection) and returns false.
  bool copyStep(std::vector<StepFile>& step);
  // Copies source to target and verifies it; a copy made is added to made (may be null).
  bool copyAndVerify(const std::string& source, const std::string& target, StepCopies* made);
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
