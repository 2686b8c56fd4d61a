// sortelia-cli's sub-commands as a person meets them: the usage lines of `--help`, drawn from
// each sub-command's flag declaration, and the one way every sub-command refuses a misuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_process.h"

namespace sortelia::cli {
namespace {

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

struct Usage {
  std::string command;
  std::string line;  // after "usage: sortelia-cli "
  // The usage line shown with a misuse, when it is not the whole line: the form that was used.
  std::string misuse = "";
  const std::string& misuseLine() const { return misuse.empty() ? line : misuse; }
};

const std::vector<Usage>& usages() {
  static const std::vector<Usage> all = {
      {"album",
       "album SOURCE-FOLDER --width W --height H [--level L] [--sepia] [--bw] [--columns N]"},
      {"dump", "dump FILE"},
      {"exif", "exif FILE... | exif --set-comment TEXT FILE", "exif FILE..."},
      {"export", "export --all-in-one|--each [--mask MASK] [--camera-set N] FOLDER"},
      {"info", "info [--mask MASK] [--camera-set N] FILE..."},
      {"print",
       "print --pdf OUT.pdf [--top name,date,time,comment] [--top-text TEXT] [--bottom ...] "
       "[--bottom-text TEXT] [--size N] [--colour red|blue|green] [--no-exif-date] FILE..."},
      {"reduce", "reduce SRC DST --width W --height H [--level L] [--sepia] [--bw] [--exif]"},
      {"rename", "rename [--mask MASK] [--camera-set N] [--alone] FOLDER"}};
  return all;
}

TEST(CliUsage, HelpListsEveryCommandWithItsFlags) {
  const auto r = testing::runProcess({kCli, "--help"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const Usage& u : usages()) {
    EXPECT_NE(r.out.find("\n  " + u.line + "\n"), std::string::npos) << u.command << "\n" << r.out;
  }
  // Each flag explained once under its command, its help in one column.
  EXPECT_NE(r.out.find("\n      --columns N  pictures per row of the grid page"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n      --camera-set N  the camera parameter set, 0 to 10 (0)\n"),
            std::string::npos)
      << r.out;
}

TEST(CliUsage, VersionNamesTheLicence) {
  const auto r = testing::runProcess({kCli, "--version"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("sortelia-cli 0.")) << r.out;
  EXPECT_NE(r.out.find("\nLicence : GNU GPL version 3 or later (GPL-3.0-or-later)\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

// Fault: each sub-command refused a misuse in its own way: info read an unknown flag as a file
// name and exited 0, exif tried to read it as a picture, album and reduce named the problem
// without the usage line, the others showed the usage line without the problem.
TEST(CliUsage, EveryCommandRefusesAMisuseAlike) {
  for (const Usage& u : usages()) {
    const auto bogus = testing::runProcess({kCli, u.command, "--bogus", "x"});
    EXPECT_EQ(bogus.exitCode, 2) << u.command;
    EXPECT_EQ(bogus.err, "sortelia-cli " + u.command + ": unknown option --bogus\nusage: " +
                             "sortelia-cli " + u.misuseLine() + "\n");
    const auto none = testing::runProcess({kCli, u.command});
    EXPECT_EQ(none.exitCode, 2) << u.command;
    EXPECT_TRUE(none.err.starts_with("sortelia-cli " + u.command + ": ")) << none.err;
    EXPECT_TRUE(none.err.ends_with("\nusage: sortelia-cli " + u.misuseLine() + "\n")) << none.err;
  }
}

TEST(CliUsage, NamesTheProblemWithAFlagsValue) {
  struct Case {
    std::vector<std::string> args;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {{"info", "--camera-set", "11", "a.jpg"}, "--camera-set must be between 0 and 10"},
      {{"info", "--mask", "101", "a.jpg"}, "unusable value \"101\" for --mask"},
      {{"print", "--pdf", "o.pdf", "--colour", "pink", "a.jpg"},
       "--colour needs one of red, blue, green"},
      {{"print", "--pdf", "o.pdf", "--size", "5", "a.jpg"}, "--size must be between 10 and 100"},
      {{"album", "src", "--width", "40", "--height", "30", "--level", "11"},
       "the level must be between 1 and 10"},
      {{"reduce", "a", "b", "--width", "4x", "--height", "4"}, "--width needs a whole number"},
      {{"export", "--each", "--all-in-one", "f"}, "only one of --all-in-one|--each may be given"},
      {{"rename", "f", "g"}, "unexpected argument \"g\""},
      {{"exif", "--set-comment", "x", "a.jpg", "b.jpg"}, "unexpected argument \"b.jpg\""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {kCli};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const auto r = testing::runProcess(argv);
    EXPECT_EQ(r.exitCode, 2) << c.problem;
    EXPECT_TRUE(r.err.starts_with("sortelia-cli " + c.args[0] + ": " + c.problem + "\n")) << r.err;
  }
}

}  // namespace
}  // namespace sortelia::cli
