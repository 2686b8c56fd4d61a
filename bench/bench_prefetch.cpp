// Key to the next 24-megapixel picture ready for painting, as a person sorts: a pause of half
// a second on each picture, then the key. Measured with prefetch (the program as it runs),
// without it (decoded on the spot), and beside djpeg decoding one such picture, in one run;
// then the process size over 500 steps with prefetch, which must stay flat. The decode on the
// spot is also timed both ways: the full-size decode reduced afterwards, and the decode that
// reduces each row as it comes (what the display does). Last, the same with a 12-megapixel
// phone HEIC (a grid of 48 tiles, made by bench/make_phone_heic.py), beside the decode of
// that HEIC and of the same picture as a JPEG.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench_ports.h"
#include "core/display/display_geometry.h"
#include "core/display/picture_prefetch.h"
#include "core/ports/viewer_panel.h"
#include "core/session/sorting_session.h"
#include "core/sorting/comment_edit.h"
#include "core/sorting/sorting_loop.h"
#include "core/viewer/rotation.h"
#include "core/viewer/viewer_mode.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "imaging/jpeg_codec.h"
#include "imaging/screen_scale.h"

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

// The big picture with the rotation mark "@090:" in its comment, as a turned picture is kept.
std::string turnedJpeg() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "sortelia-bench-24mp-turned.jpg").string();
  if (!std::filesystem::exists(path)) {
    std::filesystem::copy_file(bigJpeg(), path);
    exif::TExifInfo info;
    info.UserComment = {"@090:"};
    exif::WriteExif(info, path);
  }
  return path;
}

// The 12-megapixel phone HEIC and the same picture as a JPEG, made once from a camera
// picture of the test data; "" when they cannot be made.
const std::string& phoneHeic(bool asJpeg = false) {
  static std::string heic, jpeg;
  if (heic.empty()) {
    const auto tmp = std::filesystem::temp_directory_path();
    const std::string h = (tmp / "sortelia-bench-12mp.heic").string();
    const std::string j = (tmp / "sortelia-bench-12mp.jpg").string();
    if (!std::filesystem::exists(h) || !std::filesystem::exists(j)) {
      const std::string source =
          std::string(SORTELIA_SOURCE_DIR) + "/tests/data/camera/Canon_40D.jpg";
      const pid_t pid = fork();
      if (pid == 0) {
        execlp("python3", "python3", SORTELIA_SOURCE_DIR "/bench/make_phone_heic.py",
               source.c_str(), h.c_str(), j.c_str(), nullptr);
        _exit(127);
      }
      int status = 0;
      waitpid(pid, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return asJpeg ? jpeg : heic;
    }
    heic = h;
    jpeg = j;
  }
  return asJpeg ? jpeg : heic;
}

// Entries that are distinct paths to the one big picture (links), so that each step shows a
// new entry; turned: to the picture with a rotation mark; heic: to the phone HEIC.
std::vector<std::string> entries(int n, bool turned = false, bool heic = false) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / (heic     ? "sortelia-bench-prefetch-heic"
                                                 : turned ? "sortelia-bench-prefetch-turned"
                                                          : "sortelia-bench-prefetch"))
          .string();
  std::filesystem::create_directories(folder);
  std::vector<std::string> list;
  for (int i = 1; i <= n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, heic ? "/IMG_%04d.HEIC" : "/IMG_%04d.JPG", i);
    const std::string path = folder + name;
    if (!std::filesystem::exists(path)) {
      std::filesystem::create_symlink(heic ? phoneHeic() : turned ? turnedJpeg() : bigJpeg(), path);
    }
    list.push_back(path);
  }
  return list;
}

class NullViewerPanel : public ViewerPanel {
 public:
  void setViewPosition(int) override {}
  std::string viewPositionText() const override { return ""; }
  bool viewPositionTyped() const override { return false; }
  void focusViewPosition() override {}
  int intervalSeconds() const override { return 3; }
  void setMainMenuEnabled(bool) override {}
  void setSlotMenuEnabled(bool) override {}
  void setSubfolderAlert(bool) override {}
};

class NullTimer : public Timer {
 public:
  void start(int, std::function<void()>) override {}
  void stop() override {}
  bool isActive() const override { return false; }
};

struct Run {
  NullUi ui;
  NullView view;
  SortingState state;
  SortingSession session{state, ui, view, ""};
  WorkerPool pool{1};
  PicturePrefetch prefetch{state, view, pool};
  // The units that listen to the display as in the program: the comment editor reads the
  // rotation mark, viewer mode turns the picture by it.
  fs::FileOperations files;
  SortingLoop loop{session, files};
  NullViewerPanel panel;
  NullTimer timer;
  ViewerMode viewer{session, loop, panel, timer};
  explicit Run(bool withPrefetch, int n, bool turned = false, bool heic = false) {
    prefetch.setTurnOf([](const std::string& p) { return rotationOfMark(rotationMarkOfFile(p)); });
    state.list.images = entries(n, turned, heic);
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
    session.scan().showListPosition(n);
    const auto t1 = Clock::now();
    if (!view.screen || view.screen->width() > 460) std::fprintf(stderr, "picture not ready\n");
    return ms(t1 - t0);
  }
};

std::vector<double> timedSteps(bool withPrefetch, int steps, bool turned = false, bool heic = false,
                               int pauseMs = 500) {
  Run run(withPrefetch, steps + 1, turned, heic);
  run.step(1);
  std::vector<double> times;
  for (int n = 2; n <= steps + 1; ++n) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));  // the person looks
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

// One picture made ready for the 460 x 306 area both ways, 10 times each, alternating.
void decodeWays(double& fullThenReduce, double& straight) {
  NullView view;
  std::vector<double> a, b;
  for (int i = 0; i < 10; ++i) {
    auto t0 = Clock::now();
    const auto full = decodeFullPicture(bigJpeg());
    const auto r =
        FitImageToPanel(full->height(), full->width(), view.displayHeight(), view.displayWidth());
    const auto screen = imaging::scaleForScreen(full, r->width, r->height);
    a.push_back(ms(Clock::now() - t0));
    t0 = Clock::now();
    const PreparedPicture p = preparePicture(bigJpeg(), view.displayWidth(), view.displayHeight());
    b.push_back(ms(Clock::now() - t0));
    if (!p.screen || !p.screen->samePixels(*screen)) std::fprintf(stderr, "screen copies differ\n");
  }
  fullThenReduce = median(a);
  straight = median(b);
}

}  // namespace

int main() {
  const double djpeg = djpegMs();
  const std::vector<double> without = timedSteps(false, 10);
  const std::vector<double> with = timedSteps(true, 50);
  double fullThenReduce = 0, straight = 0;
  decodeWays(fullThenReduce, straight);
  std::printf("djpeg of one 24-megapixel picture: %.0f ms\n", djpeg);
  std::printf(
      "decode at full size, then reduce to the screen: %.1f ms; reduce while decoding: %.1f ms\n",
      fullThenReduce, straight);
  std::printf("median key-to-picture without prefetch: %.1f ms (10 steps)\n", median(without));
  std::printf("median key-to-picture with prefetch: %.1f ms\n", median(with));
  const std::vector<double> turnedWithout = timedSteps(false, 10, true);
  const std::vector<double> turnedWith = timedSteps(true, 10, true);
  std::printf(
      "pictures with a rotation mark (@090:), median key-to-picture without prefetch: %.1f ms, "
      "with prefetch: %.1f ms (10 steps each)\n",
      median(turnedWithout), median(turnedWith));

  if (!phoneHeic().empty()) {
    std::vector<double> heicDecode, jpegDecode;
    for (int i = 0; i < 5; ++i) {
      auto t0 = Clock::now();
      if (!decodeFullPicture(phoneHeic())) std::fprintf(stderr, "HEIC not decoded\n");
      heicDecode.push_back(ms(Clock::now() - t0));
      t0 = Clock::now();
      if (!decodeFullPicture(phoneHeic(true))) std::fprintf(stderr, "JPEG not decoded\n");
      jpegDecode.push_back(ms(Clock::now() - t0));
    }
    std::printf(
        "decode of one 12 MP HEIC (48 tiles): %.0f ms; of the same picture as JPEG: %.0f ms\n",
        median(heicDecode), median(jpegDecode));
    for (const int pause : {500, 1000}) {
      const std::vector<double> heicWith = timedSteps(true, 20, false, true, pause);
      std::printf(
          "median key-to-picture with prefetch (12 MP HEIC): %.1f ms (20 steps, %d ms pause; "
          "slowest %.1f ms)\n",
          median(heicWith), pause, *std::max_element(heicWith.begin(), heicWith.end()));
    }
  } else {
    std::printf("no 12 MP HEIC: python3 and ImageMagick's convert are needed to make it\n");
  }

  Run run(true, 500);
  run.step(1);
  double after10 = 0;
  for (int n = 2; n <= 500; ++n) {
    run.step(n);
    if (n == 10) after10 = residentMb();
  }
  std::printf(
      "resident size after 10 steps: %.0f MB, after 500 steps: %.0f MB; "
      "prefetch cache peak %.1f MB\n",
      after10, residentMb(), static_cast<double>(run.prefetch.peakBytes()) / 1048576.0);
  return 0;
}
