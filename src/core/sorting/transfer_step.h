// The file work of one transfer step, apart from everything that asks or tells the person
// something: each file copied without overwriting, flushed and compared from storage, agreed
// replacements put in place, the sources deleted in move mode. It touches nothing but the file
// operations it is given, so the transfer runs it on the GUI thread and the transfer queue on
// its worker alike; what went wrong comes back as a StepOutcome for the GUI thread to tell.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/progress.h"
#include "platform/safe_copy.h"

namespace sortelia {

// One file of a step: where it comes from, the name it is to have, the name it is copied to
// (a temporary one beside an existing file it replaces).
struct StepFile {
  std::string source;
  std::string destination;
  std::string target;
  bool replace = false;
};

// How a step ended. A failure names the first file that failed; `thrown` holds what the
// comparison threw when it could not read a file.
struct StepOutcome {
  enum class Failure { None, Copy, Size, Comparison, Replace, Thrown };
  Failure failure = Failure::None;
  int error = 0;  // errno of a failed copy
  std::exception_ptr thrown;
  bool ok() const { return failure == Failure::None; }
};

// Runs one file operation of a step: the copy (title "Copying...") or the comparison
// ("Checking...") of file. The transfer runs it under a busy pointer with the status text and,
// for a large file, through the LongWork port; the queue's worker simply calls it.
using FileStepRunner = std::function<void(const std::string& file, const char* title,
                                          const std::function<void(ProgressReporter*)>& job)>;

// Calls job at once, without progress.
void runFileStepInline(const std::string& file, const char* title,
                       const std::function<void(ProgressReporter*)>& job);

class StepCopies;

// A step whose files were copied under their temporary names and flushed to storage, nothing
// compared or renamed yet: the first half of copyStepFiles, which the queue's worker runs for
// the next step while it compares the one before. The copies are removed when it is dropped
// unless the second half gave them their names.
struct WrittenStep {
  WrittenStep();
  WrittenStep(WrittenStep&&) noexcept;
  WrittenStep& operator=(WrittenStep&&) noexcept;
  ~WrittenStep();
  StepOutcome outcome;                   // a failure of the copying
  std::vector<std::string> temporaries;  // where each file of the step was written
  std::unique_ptr<StepCopies> made;      // the files written, removed unless committed
};

// The first half: every file copied under its temporary name (its target when it replaces).
// Gives no file a name of the person's, so that it may run ahead of the steps before.
WrittenStep writeStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                           const FileStepRunner& run);
// The second half: each copy compared from storage with its source, then given its name.
// Never throws; on failure, the first half's included, the step's copies are removed (a lone
// picture's unverified copy or copy of the wrong size stays under its name for inspection).
StepOutcome verifyStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                            WrittenStep& written, const FileStepRunner& run);

// Copies and verifies every file of the step under temporary names, then gives each its name
// (never replacing a file that appeared meanwhile: EEXIST) and puts agreed replacements in
// place. On failure no file of the step stands under its destination name except a lone
// picture's unverified copy, which stays for inspection; every source is untouched. Never
// throws: what the comparison throws comes back in the outcome, after the step's copies were
// removed.
StepOutcome copyStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                          const FileStepRunner& run);

// Moves the step by renaming each file, when every source lies on its destination's file
// system and nothing is to be replaced: a rename cannot corrupt data and never replaces a file
// (one that appeared since the step was settled fails it with EEXIST, after the files already
// moved were put back). nullopt when the step must be copied instead, also when the rename
// finds that a destination lies on another mount of the file system (EXDEV).
std::optional<StepOutcome> renameStepFiles(fs::FileOperations& files,
                                           const std::vector<StepFile>& step);

// The file work of a queued step: a move renames where it can, else the files are copied and
// verified and, in move mode, their sources deleted.
StepOutcome transferStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                              bool move);

// Deletes the step's sources (move mode), once every file of it was verified.
void deleteStepSources(fs::FileOperations& files, const std::vector<StepFile>& step);

// The bytes of the step's sources, as the queue counts what is pending.
std::int64_t stepBytes(fs::FileOperations& files, const std::vector<StepFile>& step);

}  // namespace sortelia
