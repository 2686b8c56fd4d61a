// One transfer step of a 10 MB picture, as a click on a slot in move mode does it on the
// file system: the no-overwrite copy flushed with fsync and dropped from the page cache, the
// size check, the 2048-byte block comparison that reads the copy back from storage, and the
// deletion of the source. Beside it, in the same run, the shell's way of doing as much:
// `cp`, then `sync`, then `cmp`. bench/transfer_vs_cp.sh runs both and prints the ratio.
// The work folder is $SORTELIA_BENCH_DIR, else the system's temporary folder; it should lie
// on a real disk.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_ports.h"
#include "platform/safe_copy.h"

namespace {

using sortelia::bench::runProgram;

constexpr std::size_t kPictureBytes = 10 * 1024 * 1024;

// The work folder with a 10 MB source file "src/big.jpg" and an empty "dst".
struct Work {
  std::string source;
  std::string destination;
};

Work prepare(const char* name) {
  const char* env = std::getenv("SORTELIA_BENCH_DIR");
  const std::filesystem::path base =
      (env && *env) ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
  const std::filesystem::path dir = base / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "src");
  std::filesystem::create_directories(dir / "dst");
  Work w{(dir / "src/big.jpg").string(), (dir / "dst/big.jpg").string()};
  std::string bytes(kPictureBytes, '\0');
  std::uint32_t x = 12345;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  std::ofstream(w.source, std::ios::binary).write(bytes.data(), bytes.size());
  return w;
}

void BM_TransferStep(benchmark::State& state) {
  const Work w = prepare("sortelia-bench-transfer");
  sortelia::fs::FileOperations files;
  for (auto _ : state) {
    if (!files.copyNoOverwrite(w.source, w.destination).ok() ||
        files.fileSize(w.source) != files.fileSize(w.destination) ||
        !files.sameContent(w.source, w.destination) || !files.removeFile(w.source).ok()) {
      state.SkipWithError("transfer step failed");
      break;
    }
    state.PauseTiming();
    std::filesystem::rename(w.destination, w.source);  // the next step starts as this one did
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPictureBytes));
}
BENCHMARK(BM_TransferStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpSyncCmp(benchmark::State& state) {
  const Work w = prepare("sortelia-bench-cp");
  for (auto _ : state) {
    if (!runProgram({"cp", w.source, w.destination}) || !runProgram({"sync"}) ||
        !runProgram({"cmp", "-s", w.source, w.destination})) {
      state.SkipWithError("cp, sync or cmp failed");
      break;
    }
    state.PauseTiming();
    std::filesystem::remove(w.destination);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPictureBytes));
}
BENCHMARK(BM_CpSyncCmp)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
