// sortelia-cli's folder commands (rename, export, album) on a folder the process cannot list.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::outputs {
namespace {

using sortelia::testing::runProcess;
using sortelia::testing::TempDir;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

// Fault: rename, export and album took a folder they could not list for an empty one and
// ended with success (silently, with "no pictures", or with two empty album pages).
TEST(CliUnreadableFolder, EachFolderCommandSaysItCannotReadTheFolderAndFails) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  if (!testing::haveProgram("setpriv")) GTEST_SKIP() << "setpriv is not installed";
  // The tests run as root, who may list any folder: the commands run as "nobody" instead,
  // with the folders above readable and the pictures' folder closed to listing.
  TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string config = dir.mkdir("config");
  ASSERT_EQ(::chmod(config.c_str(), 0777), 0);
  const std::string folder = dir.mkdir("closed");
  dir.write("closed/a.jpg", testing::makeTestJpeg(32, 24));
  ASSERT_EQ(::chmod(folder.c_str(), 0311), 0);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  const std::vector<std::vector<std::string>> commands = {
      {"rename", folder},
      {"export", "--all-in-one", folder},
      {"export", "--each", folder + "/"},
      {"album", folder, "--width", "16", "--height", "12"}};
  for (const auto& args : commands) {
    std::vector<std::string> argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                     kCli};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r = runProcess(argv);
    EXPECT_EQ(r.exitCode, 1) << args[0] << ": " << r.err;
    EXPECT_EQ(r.err, "sortelia-cli " + args[0] + ": cannot read the folder \"" + folder +
                         "\": Permission denied\n")
        << args[0];
    EXPECT_EQ(r.out, "") << args[0];
  }
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(std::filesystem::directory_iterator(folder)->path().filename(), "a.jpg");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1)
      << "a command wrote into the folder";
}

}  // namespace
}  // namespace sortelia::outputs
