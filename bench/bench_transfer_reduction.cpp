// Reduction on transfer of a 24-megapixel picture to 1600 pixels wide ("2M", copy mode): the
// click on a slot as the program runs it (no-overwrite copy, verification from storage, the
// reduction through a temporary, the journal line), beside `cp` plus `vipsthumbnail` doing the
// copy and the reduction in the same run. The work folder is $SORTELIA_BENCH_DIR, else the
// system's temporary folder.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

#include "bench_ports.h"
#include "core/session/sorting_session.h"
#include "core/sorting/sorting_loop.h"

namespace {

using namespace sortelia;
using namespace sortelia::bench;
namespace stdfs = std::filesystem;

stdfs::path workFolder(const char* name) {
  const char* env = std::getenv("SORTELIA_BENCH_DIR");
  const stdfs::path base = (env && *env) ? stdfs::path(env) : stdfs::temp_directory_path();
  const stdfs::path dir = base / name;
  stdfs::remove_all(dir);
  stdfs::create_directories(dir / "src");
  stdfs::create_directories(dir / "dst");
  return dir;
}

void BM_TransferReducedTo2M(benchmark::State& state) {
  const stdfs::path dir = workFolder("sortelia-bench-transfer-reduction");
  NullUi ui;
  NullView view;
  SortingState s;
  SortingSession session(s, ui, view, "");
  fs::FileOperations files;
  SortingLoop loop(session, files);
  session.setSlot(1, (dir / "dst").string());
  s.options.keepOriginal = true;  // copy mode
  s.options.resizeOption = 1;     // "2M": 1600 wide
  const std::string source = (dir / "src/IMG_0001.JPG").string();
  const std::string target = (dir / "dst/IMG_0001.JPG").string();
  for (auto _ : state) {
    state.PauseTiming();
    stdfs::remove(target);
    stdfs::copy_file(bigJpeg(), source, stdfs::copy_options::overwrite_existing);
    s.list.sourceDir = (dir / "src").string() + "/";
    session.scan().rescanSourceFolder();  // the picture on display, as before the click
    state.ResumeTiming();
    loop.transfer.Button1Click(1);
    state.PauseTiming();
    if (!stdfs::exists(target) || stdfs::file_size(target) >= stdfs::file_size(source)) {
      state.SkipWithError("not reduced");
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TransferReducedTo2M)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CpThenVipsthumbnailTo1600(benchmark::State& state) {
  const stdfs::path dir = workFolder("sortelia-bench-vips-reduction");
  const std::string source = (dir / "src/IMG_0001.JPG").string();
  const std::string copy = (dir / "dst/full.jpg").string();
  const std::string reduced = (dir / "dst/IMG_0001.JPG").string();
  stdfs::copy_file(bigJpeg(), source, stdfs::copy_options::overwrite_existing);
  for (auto _ : state) {
    state.PauseTiming();
    stdfs::remove(copy);
    stdfs::remove(reduced);
    state.ResumeTiming();
    if (!runProgram({"cp", source, copy}) ||
        !runProgram({"vipsthumbnail", copy, "--size", "1600x", "-o", reduced + "[Q=91]"})) {
      state.SkipWithError("cp or vipsthumbnail failed");
    }
  }
}
BENCHMARK(BM_CpThenVipsthumbnailTo1600)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
