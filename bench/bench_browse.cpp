// Building the thumbnail grid: 500 camera-sized pictures (4000 x 3000) decoded at 1/8 on the
// worker pool (one worker per processor, and one worker alone) and placed in list order on the
// calling thread, in pictures per second. The pictures are written once to
// $TMPDIR/sortelia-bench-browse/.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "bench_ports.h"
#include "core/browse/thumb_browser.h"
#include "imaging/jpeg_codec.h"

namespace {

using namespace sortelia;
using sortelia::bench::NullUi;
namespace fsys = std::filesystem;

constexpr int kPictures = 500;

class NullBrowserView : public BrowserView {
 public:
  std::string caption() const override { return ""; }
  void setCaption(const std::string&) override {}
  void setStopEnabled(bool) override {}
  int gridWidth() const override { return 1000; }
  void setScrollStep(int) override {}
  void scrollToTop() override {}
  void gridChanged() override {}
  void showFullSize(const std::string&, imaging::Bitmap, bool) override {}
  void openPrint(const std::string&, const std::string&) override {}
};

// The GUI thread's queue: workers post, the benchmark thread runs.
class QueuePoster : public TaskPoster {
 public:
  void post(std::function<void()> task) override {
    std::lock_guard lock(m_);
    tasks_.push_back(std::move(task));
    cv_.notify_one();
  }
  void runUntil(const std::function<bool()>& done) {
    while (!done()) {
      std::function<void()> t;
      {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return !tasks_.empty(); });
        t = std::move(tasks_.front());
        tasks_.pop_front();
      }
      t();
    }
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> tasks_;
};

std::vector<std::string> benchPictures() {
  const char* tmp = std::getenv("TMPDIR");
  const fsys::path dir = fsys::path(tmp ? tmp : "/tmp") / "sortelia-bench-browse";
  fsys::create_directories(dir);
  const fsys::path first = dir / "IMG_0000.jpg";
  if (!fsys::exists(first)) {
    imaging::Bitmap b(4000, 3000);
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x) {
        std::uint8_t* p = b.row(y) + 3 * x;
        p[0] = static_cast<std::uint8_t>(x * 7 + y);
        p[1] = static_cast<std::uint8_t>((x ^ y) & 0xff);
        p[2] = static_cast<std::uint8_t>(y * 3);
      }
    std::ofstream(first, std::ios::binary) << imaging::encodeJpeg(b, 90);
  }
  std::vector<std::string> paths;
  for (int i = 0; i < kPictures; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.jpg", i);
    const fsys::path p = dir / name;
    if (!fsys::exists(p)) fsys::copy_file(first, p);
    paths.push_back(p.string());
  }
  return paths;
}

void BM_BuildGrid500(benchmark::State& state) {
  SortingState sorting;
  sorting.list.images = benchPictures();
  NullUi ui;
  NullBrowserView view;
  QueuePoster poster;
  WorkerPool pool(static_cast<int>(state.range(0)));
  ThumbBrowser browser({ui, view, poster, pool, sorting,
                        [](int, const std::string&) { return true; }, [](const std::string&) {},
                        [] { return std::string(); }, [] { return exif::CameraParamSet{}; }});
  for (auto _ : state) {
    browser.Button1Click(100);
    poster.runUntil([&] { return !browser.building(); });
    if (static_cast<int>(browser.cells().size()) != kPictures) state.SkipWithError("cells lost");
  }
  state.SetItemsProcessed(state.iterations() * kPictures);
  state.counters["workers"] = pool.size();
}
// Argument: workers (0: one per processor).
BENCHMARK(BM_BuildGrid500)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
