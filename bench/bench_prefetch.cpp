// Key to the next 24-megapixel picture ready for painting, as a person sorts: a pause of half
// a second on each picture, then the key. Measured with prefetch (the program as it runs),
// without it (decoded on the spot), and beside djpeg decoding one such picture, in one run;
// then the process size over 500 steps with prefetch, which must stay flat.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench_ports.h"
#include "core/display/picture_prefetch.h"
#include "core/session/sorting_session.h"

namespace {

using namespace sortelia;
using namespace sortelia::bench;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Resident set size now, in MB.
double residentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Entries that are distinct paths to the one big picture (links), so that each step shows a
// new entry.
std::vector<std::string> entries(int n) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / "sortelia-bench-prefetch").string();
  std::filesystem::create_directories(folder);
  std::vector<std::string> list;
  for (int i = 1; i <= n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    const std::string path = folder + name;
    if (!std::filesystem::exists(path)) std::filesystem::create_symlink(bigJpeg(), path);
    list.push_back(path);
  }
  return list;
}

struct Run {
  NullUi ui;
  NullView view;
  SortingState state;
  SortingSession session{state, ui, view, ""};
  WorkerPool pool{1};
  PicturePrefetch prefetch{state, view, pool};
  explicit Run(bool withPrefetch, int n) {
    state.list.images = entries(n);
    state.list.imageCount = n;
    if (withPrefetch) {
      session.display().setPictureSource(&prefetch);
      session.display().events().subscribe(prefetch);
    }
  }
  ~Run() {
    session.display().events().unsubscribe(prefetch);
    session.display().setPictureSource(nullptr);
  }
  // The key: the next entry, timed until its screen copy is ready.
  double step(int n) {
    const auto t0 = Clock::now();
    session.scan().imageDSP(n);
    const auto t1 = Clock::now();
    if (!view.screen || view.screen->width() != 460) std::fprintf(stderr, "picture not ready\n");
    return ms(t1 - t0);
  }
};

std::vector<double> timedSteps(bool withPrefetch, int steps) {
  Run run(withPrefetch, steps + 1);
  run.step(1);
  std::vector<double> times;
  for (int n = 2; n <= steps + 1; ++n) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the person looks
    times.push_back(run.step(n));
  }
  return times;
}

double djpegMs() {
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      execlp("djpeg", "djpeg", "-outfile", "/dev/null", bigJpeg().c_str(), nullptr);
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    times.push_back(ms(Clock::now() - t0));
  }
  return median(times);
}

}  // namespace

int main() {
  const double djpeg = djpegMs();
  const std::vector<double> without = timedSteps(false, 10);
  const std::vector<double> with = timedSteps(true, 50);
  std::printf("djpeg of one 24-megapixel picture: %.0f ms\n", djpeg);
  std::printf("median key-to-picture without prefetch: %.0f ms (10 steps)\n", median(without));
  std::printf("median key-to-picture with prefetch: %.0f ms\n", median(with));

  Run run(true, 500);
  run.step(1);
  double after10 = 0;
  for (int n = 2; n <= 500; ++n) {
    run.step(n);
    if (n == 10) after10 = residentMb();
  }
  std::printf(
      "resident size after 10 steps: %.0f MB, after 500 steps: %.0f MB; "
      "prefetch cache peak %.0f MB\n",
      after10, residentMb(), static_cast<double>(run.prefetch.peakBytes()) / 1048576.0);
  return 0;
}
