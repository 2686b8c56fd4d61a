// The transfer queue against the transfer on the spot, copy mode, over pictures of camera size
// (15 MB each) on this machine's disk:
//   - the time a slot key takes before the next picture is shown, with a pause after each key as
//     a person sorting makes (0.7 s by default), without and with the queue;
//   - the queue's throughput over the same pictures without pauses, beside `cp` of the same
//     files followed by `sync`, and beside cp, sync and then the queue's comparison of each copy
//     from storage, in the same run (five of each in turns; the medians).
// The key time is the core's (comment write, questions, the step, the list position, the photo
// data of the next picture); the next picture's pixels come from the prefetcher, prepared during
// the pause, whose decode bench_prefetch measures. Usage: bench_transfer_queue [pictures] [pause
// ms]. The work folder is $SORTELIA_BENCH_DIR, else the system's temporary folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_ports.h"
#include "core/session/sorting_session.h"
#include "core/sorting/sorting_loop.h"
#include "platform/task_queue.h"

namespace {

using namespace sortelia;
using namespace sortelia::bench;
namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kPictureBytes = 15 * 1024 * 1024;

// The GUI thread's event loop as far as the queue needs one: tasks posted from the worker,
// run when the bench turns it.
class BenchPoster : public TaskPoster {
 public:
  void post(std::function<void()> task) override { tasks_.push(std::move(task)); }
  void runAll() { tasks_.runAll(); }

 private:
  TaskQueue tasks_;
};

// The next picture as the prefetcher hands it over when it was prepared during the pause: at
// once (the bench's pictures are not JPEGs; bench_prefetch measures the decode).
class PreparedAhead : public PictureSource {
 public:
  PreparedPicture load(const std::string&, int, int) override { return {}; }
};

stdfs::path workFolder() {
  const char* env = std::getenv("SORTELIA_BENCH_DIR");
  const stdfs::path base = (env && *env) ? stdfs::path(env) : stdfs::temp_directory_path();
  return base / "sortelia-bench-transfer-queue";
}

// n pictures of kPictureBytes distinct bytes each in dir/src, and empty dir/dst.
void preparePictures(const stdfs::path& dir, int n) {
  stdfs::remove_all(dir);
  stdfs::create_directories(dir / "src");
  stdfs::create_directories(dir / "dst");
  std::string bytes(kPictureBytes, '\0');
  for (int i = 0; i < n; ++i) {
    std::uint32_t x = 12345u + static_cast<std::uint32_t>(i);
    for (char& c : bytes) {
      x = x * 1103515245u + 12345u;
      c = static_cast<char>(x >> 24);
    }
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.JPG", i + 1);
    std::ofstream(dir / "src" / name, std::ios::binary).write(bytes.data(), bytes.size());
  }
  (void)runProgram({"sync"});
}

// An empty dir/dst for the next run, the removal of the last run's files on storage before the
// clock starts (the file system's discard of the freed blocks comes with the next flush).
void freshDestination(const stdfs::path& dir) {
  stdfs::remove_all(dir / "dst");
  stdfs::create_directories(dir / "dst");
  (void)runProgram({"sync"});
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct KeyTimes {
  double median = 0;
  double max = 0;
  double total = 0;  // from the first key to every picture written
};

// Sorts every picture of dir/src into dir/dst with one key each and a pause after each key.
KeyTimes sortWithKeys(const stdfs::path& dir, int n, bool queued, int pauseMs) {
  freshDestination(dir);
  NullUi ui;
  NullView view;
  SortingState s;
  SortingSession session(s, ui, view, "");
  fs::FileOperations files;
  BenchPoster poster;
  SortingLoop loop(session, files);
  PreparedAhead prepared;
  session.display().setPictureSource(&prepared);
  if (queued) loop.transfer.setQueue(&poster);
  session.setSlot(1, (dir / "dst").string());
  s.options.keepOriginal = true;  // copy mode
  s.list.sourceDir = (dir / "src").string() + "/";
  session.scan().rescanSourceFolder();
  std::vector<double> keys;
  const auto first = Clock::now();
  for (int i = 0; i < n; ++i) {
    const auto pressed = Clock::now();
    loop.transfer.Button1Click(1);
    keys.push_back(millisecondsSince(pressed));
    // The person looks at the next picture; the GUI thread turns its event loop meanwhile.
    const auto until = Clock::now() + std::chrono::milliseconds(pauseMs);
    while (Clock::now() < until) {
      poster.runAll();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  loop.transfer.waitForQueue();
  KeyTimes t;
  t.total = millisecondsSince(first) - static_cast<double>(n) * pauseMs;
  std::sort(keys.begin(), keys.end());
  t.median = keys[keys.size() / 2];
  t.max = keys.back();
  if (static_cast<int>(s.undo.lines.size()) != n) {
    std::fprintf(stderr, "only %zu of %d steps journalled\n", s.undo.lines.size(), n);
    std::exit(1);
  }
  return t;
}

// cp of every picture into dir/dst, then sync; with compare, then every copy compared with its
// picture from storage as the queue compares it, one after another. The copies go where the
// queue writes them, into a folder made anew: ext4 places a new folder's files elsewhere on the
// disk, and this machine's disk writes blocks just freed much faster than others (cp into a
// folder of its own took 560..1560 ms beside the queue's steady 850..900 ms).
double cpThenSync(const stdfs::path& dir, bool compare) {
  freshDestination(dir);
  std::vector<std::string> args{"cp"};
  std::vector<std::string> names;
  for (const auto& e : stdfs::directory_iterator(dir / "src")) {
    args.push_back(e.path().string());
    names.push_back(e.path().filename().string());
  }
  args.push_back((dir / "dst").string());
  const auto start = Clock::now();
  if (!runProgram(args) || !runProgram({"sync"})) {
    std::fprintf(stderr, "cp or sync failed\n");
    std::exit(1);
  }
  if (compare) {
    fs::FileOperations files;
    for (const std::string& name : names) {
      if (!files.sameContent((dir / "src" / name).string(), (dir / "dst" / name).string())) {
        std::fprintf(stderr, "cp's copy of %s differs\n", name.c_str());
        std::exit(1);
      }
    }
  }
  return millisecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const int pauseMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 700;
  const stdfs::path dir = workFolder();
  preparePictures(dir, n);
  const double mb = static_cast<double>(n) * kPictureBytes / (1024.0 * 1024.0);

  const KeyTimes onTheSpot = sortWithKeys(dir, n, false, pauseMs);
  const KeyTimes queued = sortWithKeys(dir, n, true, pauseMs);
  std::printf("key to next picture, copy mode, %d pictures of 15 MB, %d ms pause:\n", n, pauseMs);
  std::printf("  without the queue: median %.1f ms, max %.1f ms\n", onTheSpot.median,
              onTheSpot.max);
  std::printf("  with the queue:    median %.1f ms, max %.1f ms\n", queued.median, queued.max);

  // The disk's speed wanders from one minute to the next: the three are run in turns, five
  // times each, and their medians compared. cp + sync + the comparison does the queue's work
  // one part after another: the disk's time for writing and for reading back.
  std::vector<double> queueRuns, cpRuns, cpCompareRuns;
  for (int round = 0; round < 5; ++round) {
    queueRuns.push_back(sortWithKeys(dir, n, true, 0).total);
    cpRuns.push_back(cpThenSync(dir, false));
    cpCompareRuns.push_back(cpThenSync(dir, true));
  }
  const auto median = [](std::vector<double>& runs) {
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
  };
  const double queue = median(queueRuns), cp = median(cpRuns), cpCompare = median(cpCompareRuns);
  std::printf(
      "queue throughput over %d pictures (%.0f MB, copy, flush, compare from storage), "
      "medians of 5 runs in turns:\n",
      n, mb);
  const auto line = [&](const char* what, double ms, const std::vector<double>& runs) {
    std::printf("  %-30s %5.0f ms (%6.1f MB/s; runs %.0f..%.0f)\n", what, ms, mb / (ms / 1000.0),
                runs.front(), runs.back());
  };
  line("queue", queue, queueRuns);
  line("cp + sync", cp, cpRuns);
  line("cp + sync + the comparison", cpCompare, cpCompareRuns);
  std::printf("  the queue: %.2fx of cp + sync, %.2fx of cp + sync + the comparison\n", cp / queue,
              cpCompare / queue);
  stdfs::remove_all(dir);
  return 0;
}
