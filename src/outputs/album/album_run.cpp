#include "outputs/album/album_run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <future>
#include <optional>

#include "exif/photo_info.h"
#include "outputs/album/album_error.h"
#include "outputs/album/album_template.h"
#include "outputs/album/album_text.h"
#include "platform/file_kinds.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/text_codec.h"
#include "platform/worker_pool.h"

namespace sortelia::outputs::album {
namespace {

// Writes (mode "wb") or appends ("ab") bytes to a page, opening and closing it each time.
// A page that already exists without write permission is not truncated, not even by root.
void putPage(const std::string& page, const std::string& bytes, const char* mode) {
  int error = fs::replaceDenied(page);
  std::FILE* f = error == 0 ? std::fopen(page.c_str(), mode) : nullptr;
  bool ok = f != nullptr;
  if (error == 0) error = errno;
  if (f) {
    ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    if (!ok) error = errno;
    if (std::fclose(f) != 0 && ok) {
      ok = false;
      error = errno;
    }
  }
  if (!ok) {
    throw AlbumError("cannot write \"" + page + "\": " + std::strerror(error ? error : EIO));
  }
}

// What a reduction job hands back.
struct Reduction {
  bool ran = false;   // false: skipped because the run was stopped before it started
  std::string error;  // empty on success
};

// One entry looked at ahead of the pages.
struct Pending {
  int index = 0;
  EntryOutcome kind = EntryOutcome::Listed;  // Marked, Missing, Listed or Reduced (a picture)
  std::string reduced;                       // a picture's reduced path
  std::future<Reduction> reduction;          // a picture's job
  std::optional<Reduction> outcome;          // its result, once collected
};

// The reduction of one picture, on a worker: plain inputs only. It does not start once the
// person or the run has stopped.
Reduction reducePicture(std::string source, std::string folder, ReduceOptions options,
                        ReduceSize size, int level, CancelToken stop, CancelToken runEnd) {
  if (stop.cancelled() || runEnd.cancelled()) return {};
  try {
    (void)FToFJpgStrch(source, folder, options, size, level);
    return {true, ""};
  } catch (const std::exception& e) {
    return {true, e.what()};
  }
}

class AlbumRun {
 public:
  AlbumRun(const AlbumJob& job, const AlbumCallbacks& callbacks, const CancelToken& cancel)
      : job_(job), callbacks_(callbacks), cancel_(cancel) {}

  AlbumResult run();

 private:
  void schedule(WorkerPool& pool, int window);
  void collect(Pending& p);
  bool finish(Pending& p);
  void label(const std::string& text) const {
    if (callbacks_.label) callbacks_.label(text);
  }

  const AlbumJob& job_;
  const AlbumCallbacks& callbacks_;
  const CancelToken& cancel_;
  CancelToken runEnd_;  // tells queued reductions not to start
  AlbumResult result_;
  Template t1_, t2_;
  std::string folder_;
  std::deque<Pending> ahead_;
  int next_ = 0;      // next entry to look at
  int inFlight_ = 0;  // reductions submitted and not yet collected
  int number_ = 0;    // running number of the last entry with rows
  exif::PhotoInfo photo_;
};

void AlbumRun::schedule(WorkerPool& pool, int window) {
  const int count = static_cast<int>(job_.entries.size());
  while (next_ < count && inFlight_ < window) {
    const AlbumEntry& entry = job_.entries[static_cast<std::size_t>(next_)];
    Pending p;
    p.index = next_;
    if (entry.marked) {
      p.kind = EntryOutcome::Marked;
    } else if (!fs::exists(entry.path)) {
      p.kind = EntryOutcome::Missing;
    } else if (fs::isPictureName(fs::fileNameOf(entry.path))) {
      p.kind = EntryOutcome::Reduced;
      p.reduced = reducedPathInFolder(entry.path, folder_, job_.options.sepia);
      // Two pictures of one name (from different subfolders) go to the same file: the later
      // one waits until the earlier one is written, so that the later one wins.
      const std::string key = text::asciiLower(p.reduced);
      for (const Pending& q : ahead_) {
        if (q.kind == EntryOutcome::Reduced && text::asciiLower(q.reduced) == key) return;
      }
      p.reduction =
          pool.submit([source = entry.path, folder = folder_, options = job_.options,
                       size = job_.size, level = job_.level, stop = cancel_, runEnd = runEnd_] {
            return reducePicture(source, folder, options, size, level, stop, runEnd);
          });
      ++inFlight_;
    }
    ahead_.push_back(std::move(p));
    ++next_;
  }
}

// Waits for the entry's reduction, if it has one still to collect.
void AlbumRun::collect(Pending& p) {
  if (!p.reduction.valid()) return;
  p.outcome = p.reduction.get();
  --inFlight_;
}

// Shows the entry, waits for its reduction, writes its rows and records its outcome. Returns
// false, with nothing written, when its reduction was stopped before it started.
bool AlbumRun::finish(Pending& p) {
  const int count = static_cast<int>(job_.entries.size());
  const std::string& path = job_.entries[static_cast<std::size_t>(p.index)].path;
  AlbumEntryResult& out = result_.entries[static_cast<std::size_t>(p.index)];
  if (p.kind != EntryOutcome::Marked) {
    label(format("%s%s[%d/%d]", {path, "\r\n", p.index + 1, count}));
  }
  collect(p);
  const std::optional<Reduction>& reduction = p.outcome;
  if (reduction && !reduction->ran) return false;
  out.outcome = p.kind;
  if (p.kind == EntryOutcome::Missing) label("");
  if (p.kind == EntryOutcome::Listed || p.kind == EntryOutcome::Reduced) {
    PictureText picture;
    picture.path = path;
    picture.sourceDir = job_.sourceDir;
    picture.number = ++number_;
    picture.sepia = job_.options.sepia;
    photo_.GetPdata(path, job_.itemMask, job_.cameraSet);
    picture.record = photo_.record;
    picture.infoText = photo_.MakeDspPdat(job_.itemMask);
    putPage(result_.paths.page1, pageBytes(ExpandPicture(t1_.middle, picture)), "ab");
    putPage(result_.paths.page2,
            pageBytes(gridCell(ExpandPicture(t2_.middle, picture), number_, job_.columns)), "ab");
    out.number = number_;
    out.reduced = p.reduced;
    if (reduction && !reduction->error.empty()) {
      out.outcome = EntryOutcome::Failed;
      out.error = reduction->error;
      result_.report.fail(path, reduction->error);
    } else {
      ++result_.report.done;
    }
  }
  if (callbacks_.step) callbacks_.step(p.index + 1, count);
  return true;
}

AlbumResult AlbumRun::run() {
  result_.paths = albumPaths(job_.sourceDir, job_.size, job_.level);
  folder_ = MakeOutputFolder(job_.sourceDir, job_.size, job_.level);
  const std::string dir = fs::withoutTrailingSlashes(job_.templateFolder) + "/";
  t1_ = ReadTemplate(dir + kTemplate1FileName);
  t2_ = ReadTemplate(dir + kTemplate2FileName);
  const std::string title = job_.title.empty() ? albumTitle(std::time(nullptr)) : job_.title;
  putPage(result_.paths.page1, pageBytes(expandFront(t1_.front, title, result_.paths.page2)), "wb");
  putPage(result_.paths.page2, pageBytes(expandFront(t2_.front, title, result_.paths.page1)), "wb");
  result_.entries.resize(job_.entries.size());

  WorkerPool pool(job_.threads);
  // Queued reductions must not start once the run has ended, however it ended; this goes
  // before the pool's end, which runs what is still queued.
  struct StopJobs {
    CancelToken token;
    ~StopJobs() { token.cancel(); }
  } stopOnExit{runEnd_};
  // Twice the workers in flight, so that no worker waits while the pages are written.
  const int window = 2 * pool.size();
  while (true) {
    schedule(pool, window);
    if (ahead_.empty()) break;
    if (!finish(ahead_.front())) {
      result_.report.stopped = true;  // stopped while the picture waited for a worker
      break;
    }
    ahead_.pop_front();
    if (cancel_.cancelled()) {
      result_.report.stopped = true;
      break;
    }
  }
  if (result_.report.stopped) {
    // The pictures being reduced at the stop are finished and listed, with the entries
    // between them; the rest is not reached.
    runEnd_.cancel();
    std::size_t listed = 0;
    for (std::size_t k = 0; k < ahead_.size(); ++k) {
      collect(ahead_[k]);
      if (!ahead_[k].outcome) continue;
      if (!ahead_[k].outcome->ran) break;
      listed = k + 1;
    }
    for (std::size_t k = 0; k < listed; ++k) finish(ahead_[k]);
  }
  label("");
  putPage(result_.paths.page1, pageBytes(t1_.back), "ab");
  putPage(result_.paths.page2, pageBytes(t2_.back), "ab");
  return std::move(result_);
}

}  // namespace

AlbumPaths albumPaths(const std::string& sourceDir, ReduceSize size, int level) {
  AlbumPaths p;
  p.folder = sourceDir + format("%sBox%dx%d-%d", {"0_", size.width, size.height, level}) + "/";
  // The source folder's own name; the root "/" has none.
  const std::string name = fs::fileNameOf(fs::withoutTrailingSlashes(sourceDir));
  p.page1 = p.folder + name + "_1.html";
  p.page2 = p.folder + name + "_2.html";
  return p;
}

std::string MakeOutputFolder(const std::string& sourceDir, ReduceSize size, int level) {
  const std::string folder =
      sourceDir + format("%sBox%dx%d-%d", {"0_", size.width, size.height, level});
  if (!fs::isDirectory(folder) && (!fs::makeDirectories(folder).ok() || !fs::isDirectory(folder))) {
    throw AlbumError("Cannot create" + folder);
  }
  return folder + "/";
}

AlbumResult runAlbum(const AlbumJob& job, const AlbumCallbacks& callbacks,
                     const CancelToken& cancel) {
  return AlbumRun(job, callbacks, cancel).run();
}

}  // namespace sortelia::outputs::album
