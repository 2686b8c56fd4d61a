// The image list scan of a folder of 10,000 files, half of them pictures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/display/image_list.h"
#include "platform/file_list.h"

namespace {

std::string makeFolder() {
  static std::string folder;
  if (!folder.empty()) return folder;
  folder = (std::filesystem::temp_directory_path() / "sortelia-bench-scan/").string();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  for (int i = 0; i < 10000; ++i) {
    char name[64];
    const char* ext = (i % 2 == 0) ? (i % 20 == 0 ? ".MOV" : ".JPG") : ".THM";
    std::snprintf(name, sizeof name, "IMG_%05d%s", (i * 7919) % 10000, ext);
    std::ofstream(folder + name) << "x";
  }
  return folder;
}

void BM_ScanFolder(benchmark::State& state) {
  const std::string folder = makeFolder();
  for (auto _ : state) {
    std::vector<std::string> entries;
    sortelia::listImageFiles(folder, {".jpg"}, entries);
    sortelia::listImageFiles(folder, {".mov", ".mpg"}, entries);
    sortelia::sortImageList(entries);
    benchmark::DoNotOptimize(entries.data());
    if (entries.size() != 5000) state.SkipWithError("wrong count");
  }
  state.SetLabel("10,000 files, 5,000 listed");
}
BENCHMARK(BM_ScanFolder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
