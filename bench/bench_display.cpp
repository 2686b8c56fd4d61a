// Showing a picture: from showListPosition to the picture decoded, fitted and scaled to its size on
// screen (ready for painting), for a
// 24-megapixel JPEG; and the process size while paging through 200 such pictures.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench_ports.h"
#include "core/session/sorting_session.h"
#include "imaging/jpeg_codec.h"

namespace {

using namespace sortelia;
using namespace sortelia::bench;

long maxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void BM_ShowPicture24MP(benchmark::State& state) {
  NullUi ui;
  NullView view;
  SortingState s;
  SortingSession session(s, ui, view, "");
  s.list.images = {bigJpeg()};
  s.list.imageCount = 1;
  s.list.sortIndex = 1;
  for (auto _ : state) {
    session.scan().showListPosition(1);
    if (session.display().pictureWidth() != 6000) state.SkipWithError("not decoded");
    if (!view.screen || view.screen->width() != 460) state.SkipWithError("not scaled");
  }
  state.counters["MP/s"] =
      benchmark::Counter(24.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ShowPicture24MP)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Pages through 200 entries of 24-megapixel pictures; reports the peak process size after the
// first picture and after the last, which must be about the same.
void BM_Page200Pictures24MP(benchmark::State& state) {
  NullUi ui;
  NullView view;
  SortingState s;
  SortingSession session(s, ui, view, "");
  s.list.images.assign(200, bigJpeg());
  s.list.imageCount = 200;
  long afterFirst = 0;
  for (auto _ : state) {
    for (int n = 1; n <= 200; ++n) {
      session.scan().showListPosition(n);
      if (n == 1) afterFirst = maxRssKb();
    }
  }
  state.counters["peak_MB_after_1"] = static_cast<double>(afterFirst) / 1024;
  state.counters["peak_MB_after_200"] = static_cast<double>(maxRssKb()) / 1024;
}
BENCHMARK(BM_Page200Pictures24MP)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
