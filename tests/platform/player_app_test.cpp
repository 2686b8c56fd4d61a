#include "platform/player_app.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/file_ops.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::readAll;
using testing::TempDir;

// A desktop whose only application for QuickTime movies is a script that records its
// arguments. GIO reads the environment once per process, so the desktop is made once for all
// tests of the suite, before GIO is first used.
class PlayerAppTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    desktop = new TempDir;
    const TempDir& d = *desktop;
    const std::string data = d.mkdir("data");
    const std::string config = d.mkdir("config");
    const std::string script = d.write(
        "bin/fakeplayer", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" + d.file("args.tmp") +
                              "\"\nmv \"" + d.file("args.tmp") + "\" \"" + d.file("args") + "\"\n");
    ::chmod(script.c_str(), 0755);
    d.write("data/applications/fakeplayer.desktop",
            "[Desktop Entry]\nType=Application\nName=Fake Player\nExec=" + script +
                " %f\nMimeType=video/quicktime;\n");
    d.write("config/mimeapps.list", "[Default Applications]\nvideo/quicktime=fakeplayer.desktop\n");
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    // The MIME database stays the system one; the applications are ours alone, whatever the
    // machine has installed under /usr/share/applications.
    const std::string system = d.mkdir("system");
    ASSERT_EQ(::symlink("/usr/share/mime", (system + "/mime").c_str()), 0);
    ::setenv("XDG_DATA_DIRS", (data + ":" + system).c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", config.c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete desktop;
    desktop = nullptr;
  }
  void SetUp() override { std::remove(desktop->file("args").c_str()); }

  bool waitForArgs() {
    for (int i = 0; i < 1000 && !fs::exists(desktop->file("args")); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return fs::exists(desktop->file("args"));
  }

  static TempDir* desktop;
  TempDir root;  // the files of one test
};

TempDir* PlayerAppTest::desktop = nullptr;

TEST_F(PlayerAppTest, FindsTheAssociatedExecutableByName) {
  const std::string movie = root.write("clip.MOV", "not really a movie");
  EXPECT_EQ(FindPlayerApp(movie), "fakeplayer");
  EXPECT_EQ(FindPlayerApp(root.write("notes.unknownext", "x")), "");
}

TEST_F(PlayerAppTest, StartsTheApplicationWithTheFileAsOneArgument) {
  const std::string movie = root.write("my clip; it's \"$(touch pwned)\" `id`.mov", "data");
  bool noApp = true;
  EXPECT_EQ(startAssociatedApp(movie, &noApp), "");
  EXPECT_FALSE(noApp);
  ASSERT_TRUE(waitForArgs());
  EXPECT_EQ(readAll(desktop->file("args")), "1\n" + movie + "\n");
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_FALSE(fs::exists(root.file("pwned")));
}

TEST_F(PlayerAppTest, NoApplicationIsReported) {
  bool noApp = false;
  EXPECT_NE(startAssociatedApp(root.write("x.unknownext", "x"), &noApp), "");
  EXPECT_TRUE(noApp);
}

}  // namespace
}  // namespace sortelia
