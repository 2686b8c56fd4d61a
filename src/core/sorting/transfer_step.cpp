#include "core/sorting/transfer_step.h"

#include <algorithm>
#include <cerrno>

#include "platform/path.h"

namespace sortelia {

// The copies a step made; removed when it is destroyed without commit(). Only files the step
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
  void forget(const std::string& path) {
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
  }
  void commit() { paths_.clear(); }

 private:
  fs::FileOperations& files_;
  std::vector<std::string> paths_;
};

WrittenStep::WrittenStep() = default;
WrittenStep::WrittenStep(WrittenStep&&) noexcept = default;
WrittenStep& WrittenStep::operator=(WrittenStep&&) noexcept = default;
WrittenStep::~WrittenStep() = default;

namespace {

StepOutcome failed(StepOutcome::Failure failure, int error = 0) {
  StepOutcome outcome;
  outcome.failure = failure;
  outcome.error = error;
  return outcome;
}

// A lone picture's copy that does not verify is kept under its name for inspection.
void keepForInspection(fs::FileOperations& files, const std::vector<StepFile>& step,
                       WrittenStep& written) {
  const bool lone = step.size() == 1 && !step.front().replace;
  if (lone && written.temporaries.size() == 1 &&
      files.renameNoReplace(written.temporaries.front(), step.front().destination).ok()) {
    written.made->forget(written.temporaries.front());
  }
}

}  // namespace

void runFileStepInline(const std::string& /*file*/, const char* /*title*/,
                       const std::function<void(ProgressReporter*)>& job) {
  job(nullptr);
}

WrittenStep writeStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                           const FileStepRunner& run) {
  // Every copy is written under a temporary name and takes its own name only once every file
  // of the step is verified, so that no half-written file ever stands under a name of the
  // person's, whatever stops the program. A lone picture whose copy does not verify still
  // leaves that copy under its name for inspection, as it always has; a step of several files
  // leaves none of its copies behind.
  WrittenStep written;
  written.made = std::make_unique<StepCopies>(files);
  // Names cut to what a folder takes can be alike for two files of the step: each gets its own.
  std::vector<std::string> taken;
  for (const StepFile& f : step) {
    if (f.replace) taken.push_back(f.target);
  }
  for (const StepFile& f : step) {
    auto temporary = f.replace ? std::optional<std::string>(f.target)
                               : fs::freeTemporaryName(files, f.destination, taken);
    if (!temporary) {
      written.outcome = failed(StepOutcome::Failure::Copy, EEXIST);
      return written;
    }
    if (!f.replace) taken.push_back(*temporary);
    written.temporaries.push_back(*temporary);
  }
  for (std::size_t i = 0; i < step.size(); ++i) {
    const std::string& source = step[i].source;
    const std::string& target = written.temporaries[i];
    fs::FileResult copied;
    run(source, "Copying...", [&](ProgressReporter* progress) {
      copied = files.copyNoOverwrite(source, target, progress);
    });
    if (!copied.ok()) {
      written.outcome = failed(StepOutcome::Failure::Copy, copied.error);
      return written;
    }
    written.made->add(target);
    if (files.fileSize(source) != files.fileSize(target)) {
      // Kept for inspection in the step's own turn (verifyStepFiles): the queue writes a step
      // ahead while the one before it is compared, and behind a failure no later step may leave
      // anything under a name of the person's.
      written.outcome = failed(StepOutcome::Failure::Size);
      return written;
    }
  }
  return written;
}

StepOutcome verifyStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                            WrittenStep& written, const FileStepRunner& run) {
  if (!written.outcome.ok()) {
    if (written.outcome.failure == StepOutcome::Failure::Size) {
      keepForInspection(files, step, written);
    }
    return written.outcome;
  }
  try {
    for (std::size_t i = 0; i < step.size(); ++i) {
      bool same = false;
      run(step[i].source, "Checking...", [&](ProgressReporter* progress) {
        same = files.sameContent(step[i].source, written.temporaries[i], progress);
      });
      if (same) continue;
      keepForInspection(files, step, written);
      return failed(StepOutcome::Failure::Comparison);
    }
  } catch (...) {
    keepForInspection(files, step, written);
    StepOutcome outcome = failed(StepOutcome::Failure::Thrown);
    outcome.thrown = std::current_exception();
    return outcome;
  }
  for (std::size_t i = 0; i < step.size(); ++i) {
    const StepFile& f = step[i];
    if (f.replace) {
      if (!files.renameReplace(written.temporaries[i], f.destination).ok()) {
        return failed(StepOutcome::Failure::Replace);
      }
      continue;
    }
    // A name taken since the step was settled is never replaced: the step fails instead.
    const fs::FileResult renamed = files.renameNoReplace(written.temporaries[i], f.destination);
    if (!renamed.ok()) return failed(StepOutcome::Failure::Copy, renamed.error);
    written.made->add(f.destination);
  }
  written.made->commit();
  return {};
}

StepOutcome copyStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                          const FileStepRunner& run) {
  WrittenStep written = writeStepFiles(files, step, run);
  return verifyStepFiles(files, step, written, run);
}

std::optional<StepOutcome> renameStepFiles(fs::FileOperations& files,
                                           const std::vector<StepFile>& step) {
  for (const StepFile& f : step) {
    if (f.replace || !files.sameFileSystem(f.source, fs::folderOf(f.destination))) {
      return std::nullopt;
    }
  }
  for (std::size_t i = 0; i < step.size(); ++i) {
    const fs::FileResult renamed = files.renameNoReplace(step[i].source, step[i].destination);
    if (renamed.ok()) continue;
    // The files moved so far go back, so the step leaves every source where it was.
    for (std::size_t j = i; j-- > 0;) {
      (void)files.renameNoReplace(step[j].destination, step[j].source);
    }
    // Two mounts of one file system (a bind mount) share its device, but a rename does not
    // cross mounts: such a step is copied instead.
    if (renamed.error == EXDEV) return std::nullopt;
    return failed(StepOutcome::Failure::Copy, renamed.error);
  }
  return StepOutcome{};
}

StepOutcome transferStepFiles(fs::FileOperations& files, const std::vector<StepFile>& step,
                              bool move) {
  if (move) {
    if (auto renamed = renameStepFiles(files, step)) return *renamed;
  }
  StepOutcome outcome = copyStepFiles(files, step, runFileStepInline);
  if (outcome.ok() && move) deleteStepSources(files, step);
  return outcome;
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
