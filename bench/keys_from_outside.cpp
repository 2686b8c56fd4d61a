// Key to picture as a person sees it: the program runs as its own process on an X server, a
// key (F1, the first destination button) is sent through XTest, and the time runs until the X
// server's pixels in the middle of the display area turn to the next picture. Copy mode,
// 24-megapixel camera-sized JPEGs of about 15 MB on this machine's disk, a pause after each
// picture as a person looks at it. Run once with the transfer queue and once without
// (SORTELIA_TRANSFER_QUEUE=off), in one run, from the first key after the start on.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/keys_from_outside [PICTURES] [PAUSE_MS]
//   (bench/keys_from_outside.sh does that, with a window manager framing the window)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/jpeg_codec.h"

namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Colour {
  int r, g, b;
};
// Neighbouring pictures differ in colour, so the pixels tell which one is on screen.
constexpr Colour kColours[] = {{220, 40, 40},  {40, 200, 60},  {50, 70, 220},
                               {230, 210, 40}, {200, 50, 210}, {40, 200, 210}};
Colour colourOf(int picture) { return kColours[picture % 6]; }

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Picture i (1-based): a field of its colour with noise, 6000 x 4000, quality 95: about the
// bytes of a 24-megapixel camera picture. Made once and kept.
std::string picture(const std::string& folder, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
  const std::string path = folder + name;
  if (stdfs::exists(path)) return path;
  sortelia::imaging::Bitmap b(6000, 4000);
  std::mt19937 random(static_cast<unsigned>(i));
  const Colour c = colourOf(i);
  for (int y = 0; y < b.height(); ++y) {
    std::uint8_t* row = b.row(y);
    for (int x = 0; x < b.width(); ++x) {
      const unsigned n = random();
      auto noisy = [&](int v, int shift) {
        return static_cast<std::uint8_t>(
            std::clamp(v + static_cast<int>((n >> shift) & 63) - 32, 0, 255));
      };
      row[3 * x] = noisy(c.b, 0);
      row[3 * x + 1] = noisy(c.g, 8);
      row[3 * x + 2] = noisy(c.r, 16);
    }
  }
  std::ofstream(path + ".tmp", std::ios::binary) << sortelia::imaging::encodeJpeg(b, 95);
  stdfs::rename(path + ".tmp", path);
  return path;
}

// The program's window: a viewable window whose name starts with "Sortelia", a child of the
// root or, under a window manager, of the frame it put around it.
std::optional<Window> findWindow(Display* dpy, Window under, int depth = 0) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, under, &root, &parent, &children, &count)) return std::nullopt;
  std::optional<Window> found;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable) continue;
    char* name = nullptr;
    if (XFetchName(dpy, children[i], &name) && name) {
      if (std::string(name).rfind("Sortelia", 0) == 0) found = children[i];
      XFree(name);
    }
    if (!found && depth < 2) found = findWindow(dpy, children[i], depth + 1);
  }
  if (children) XFree(children);
  return found;
}

// The mean colour of an 8 x 8 block of the screen at (x, y).
Colour screenColour(Display* dpy, int x, int y) {
  XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 8, 8, AllPlanes, ZPixmap);
  if (!image) return {-1000, -1000, -1000};
  long r = 0, g = 0, b = 0;
  for (int j = 0; j < 8; ++j) {
    for (int i = 0; i < 8; ++i) {
      const unsigned long p = XGetPixel(image, i, j);
      r += (p >> 16) & 0xFF;
      g += (p >> 8) & 0xFF;
      b += p & 0xFF;
    }
  }
  XDestroyImage(image);
  return {static_cast<int>(r / 64), static_cast<int>(g / 64), static_cast<int>(b / 64)};
}

bool near(Colour a, Colour b) {
  return std::abs(a.r - b.r) <= 40 && std::abs(a.g - b.g) <= 40 && std::abs(a.b - b.b) <= 40;
}

// Waits until the block shows colour; the time it took, or nullopt after timeoutMs.
std::optional<double> waitForColour(Display* dpy, int x, int y, Colour colour, Clock::time_point t0,
                                    int timeoutMs) {
  while (ms(Clock::now() - t0) < timeoutMs) {
    if (near(screenColour(dpy, x, y), colour)) return ms(Clock::now() - t0);
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  return std::nullopt;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct RunResult {
  double startMs = 0;  // start of the process to the first picture on screen
  std::vector<double> keys;
  bool ok = true;
};

RunResult run(const std::string& program, const std::string& base, int pictures, int pauseMs,
              bool queue) {
  RunResult result;
  const std::string src = base + "/pictures";
  const std::string dst = base + "/sorted";
  const std::string config = base + "/config";
  const std::string runtime = base + "/runtime";
  stdfs::remove_all(dst);
  stdfs::remove_all(config);
  stdfs::remove_all(runtime);
  stdfs::create_directories(dst);
  stdfs::create_directories(config + "/sortelia");
  stdfs::create_directories(runtime);
  stdfs::permissions(runtime, stdfs::perms::owner_all);
  {
    // Slot 1, the source folder, the window's place and size, copy mode ("Remain").
    std::ofstream ini(config + "/sortelia/zel.ini", std::ios::binary);
    ini << dst << "\r\n";
    for (int i = 2; i <= 12; ++i) ini << "\r\n";
    ini << src << "/\r\n0\r\n0\r\n700\r\n900\r\nFALSE\r\n3\r\nFALSE\r\nTRUE\r\nFALSE\r\n"
        << "110011010101110010101100000\r\n";
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "no X display (run under xvfb-run)\n");
    std::exit(2);
  }
  const auto launched = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (!queue) setenv("SORTELIA_TRANSFER_QUEUE", "off", 1);
    execl(program.c_str(), program.c_str(), nullptr);
    _exit(127);
  }
  std::optional<Window> window;
  while (!window && ms(Clock::now() - launched) < 20000) {
    window = findWindow(dpy, DefaultRootWindow(dpy));
    if (!window) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!window) {
    std::fprintf(stderr, "the window did not appear\n");
    result.ok = false;
  }
  int x = 0, y = 0;
  if (window) {
    Window child;
    XTranslateCoordinates(dpy, *window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    // The middle of the picture in the display area, left of the button column.
    x += 250;
    y += 330;
    const auto first = waitForColour(dpy, x, y, colourOf(1), launched, 30000);
    if (!first) {
      std::fprintf(stderr, "the first picture did not appear\n");
      result.ok = false;
    } else {
      result.startMs = *first;
    }
    XSetInputFocus(dpy, *window, RevertToParent, CurrentTime);
    XSync(dpy, False);
  }
  const KeyCode f1 = XKeysymToKeycode(dpy, XK_F1);
  for (int k = 1; result.ok && k < pictures; ++k) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));  // the person looks
    const auto t0 = Clock::now();
    XTestFakeKeyEvent(dpy, f1, True, CurrentTime);
    XTestFakeKeyEvent(dpy, f1, False, CurrentTime);
    XFlush(dpy);
    const auto t = waitForColour(dpy, x, y, colourOf(k + 1), t0, 20000);
    if (!t) {
      std::fprintf(stderr, "picture %d did not appear after the key\n", k + 1);
      result.ok = false;
      break;
    }
    result.keys.push_back(*t);
  }
  // Every copy written before the program goes.
  for (int i = 0; i < 600; ++i) {
    std::size_t n = 0;
    for (const auto& e : stdfs::directory_iterator(dst)) n += e.path().extension() == ".JPG";
    if (n + 1 >= static_cast<std::size_t>(pictures)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(dpy);
  return result;
}

void report(const char* what, const RunResult& r, int pauseMs) {
  if (!r.ok || r.keys.empty()) {
    std::printf("%s: failed\n", what);
    return;
  }
  const int over100 = static_cast<int>(
      std::count_if(r.keys.begin(), r.keys.end(), [](double t) { return t > 100; }));
  std::printf(
      "%s: key to next picture painted, median %.1f ms, slowest %.1f ms, first keys %.1f and "
      "%.1f ms, %d of %zu over 100 ms (%d ms pause; first picture %.0f ms after the start)\n",
      what, median(r.keys), *std::max_element(r.keys.begin(), r.keys.end()), r.keys[0],
      r.keys.size() > 1 ? r.keys[1] : 0.0, over100, r.keys.size(), pauseMs, r.startMs);
}

}  // namespace

int main(int argc, char** argv) {
  const int pictures = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;
  const int pauseMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 700;
  const std::string program = (stdfs::path(argv[0]).parent_path() / "sortelia").string();
  const std::string base = (stdfs::temp_directory_path() / "sortelia-keys-from-outside").string();
  stdfs::create_directories(base + "/pictures");
  std::uintmax_t bytes = 0;
  for (int i = 1; i <= pictures; ++i) bytes += stdfs::file_size(picture(base + "/pictures", i));
  std::printf("%d pictures of 6000 x 4000, %.1f MB each on average\n", pictures,
              static_cast<double>(bytes) / pictures / 1048576.0);
  const RunResult without = run(program, base, pictures, pauseMs, false);
  const RunResult with = run(program, base, pictures, pauseMs, true);
  report("without the transfer queue", without, pauseMs);
  report("with the transfer queue", with, pauseMs);
  return without.ok && with.ok ? 0 : 1;
}
