#include "core/sorting/transfer_step.h"

#include <algorithm>

namespace sortelia {
namespace {

// The copies a step made; removed when the scope is left without commit(). Only files the step
// itself created are added.
class StepCopies {
 public:
  explicit StepCopies(fs::FileOperations& files) : files_(files) {}
  ~StepCopies() {
    for (const std::string& path : paths_) (void)files_.removeFile(path);
  }
  StepCopies(const StepCopies&) = delete;
  StepCopies& operator=(const StepCopies&) = delete;
  void add(const std::string& path) { paths_.push_back(path); }
  void commit() { paths_.clear(); }

 private:
  fs::FileOperations& files_;
  std::vector<std::string> paths_;
};

StepOutcome failed(StepOutcome::Failure failure, int error = 0) {
  StepOutcome outcome;
  outcome.failure = failure;
  outcome.error = error;
  return outcome;
}

// Copies source to target and verifies it; a copy made is added to made (may be null).
StepOutcome copyAndVerify(fs::FileOperations& files, const StepFile& f, const FileStepRunner& run,
                          StepCopies* made) {
  fs::FileResult copied;
  run(f.source, "Copying...", [&](ProgressReporter* progress) {
    copied = files.copyNoOverwrite(f.source, f.target, progress);
  });
  if (!copied.ok()) return failed(StepOutcome::Failure::Copy, copied.error);
  if (made) made->add(f.target);
  if (files.fileSize(f.source) != files.fileSize(f.target)) {
    return failed(StepOutcome::Failure::Size);
  }
  bool same = false;
  run(f.source, "Checking...",
      [&](ProgressReporter* progress) { same = files.sameContent(f.source, f.target, progress); });
  return same ? StepOutcome{} : failed(StepOutcome::Failure::Comparison);
}

}  // namespace

void runFileStepInline(const std::string& /*file*/, const char* /*title*/,
                       const std::function<void(ProgressReporter*)>& job) {
  job(nullptr);
}

StepOutcome copyStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                          const FileStepRunner& run) {
  // A lone picture whose copy does not verify leaves that copy for inspection, as it always
  // has; a step of several files leaves none of its copies behind, so that no file of a
  // half-done step stands in the destination.
  const bool lone = step.size() == 1;
  StepCopies made(files);
  try {
    for (const StepFile& f : step) {
      StepOutcome outcome = copyAndVerify(files, f, run, lone && !f.replace ? nullptr : &made);
      if (!outcome.ok()) return outcome;
    }
  } catch (...) {
    StepOutcome outcome = failed(StepOutcome::Failure::Thrown);
    outcome.thrown = std::current_exception();
    return outcome;
  }
  for (const StepFile& f : step) {
    if (f.replace && !files.renameReplace(f.target, f.destination).ok()) {
      return failed(StepOutcome::Failure::Replace);
    }
  }
  made.commit();
  return {};
}

void deleteStepSources(fs::FileOperations& files, const std::vector<StepFile>& step) {
  for (const StepFile& f : step) (void)files.removeFile(f.source);
}

std::int64_t stepBytes(fs::FileOperations& files, const std::vector<StepFile>& step) {
  std::int64_t bytes = 0;
  for (const StepFile& f : step) bytes += std::max<std::int64_t>(0, files.fileSize(f.source));
  return bytes;
}

}  // namespace sortelia
