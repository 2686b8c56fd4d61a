// The flag declaration of the command line's sub-commands: one table of argument lists and what
// the parser makes of them, and the usage line drawn from the same declaration.
#include "cli/flags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace sortelia::cli {
namespace {

// What a run of the sample declaration stored.
struct Stored {
  std::optional<int> width;
  int level = 8;
  bool sepia = false, all = false, each = false;
  std::string name;
  std::size_t colour = 99;
};

Syntax sample(Stored& s) {
  Flag all = switchFlag("--all", "one file", s.all);
  all.group = "mode";
  all.required = true;
  Flag each = switchFlag("--each", "a file each", s.each);
  each.group = "mode";
  each.required = true;
  return syntaxOf("sample",
                  {required(integerFlag("--width", "W", "the width", 1, 100, s.width)),
                   withRangeText(integerFlag("--level", "L", "the level", 1, 10, s.level),
                                 "the level must be between 1 and 10"),
                   switchFlag("--sepia", "sepia tones", s.sepia), all, each,
                   textFlag("--name", "TEXT", "a name", s.name,
                            [](const std::string& v) { return !v.empty(); }),
                   choiceFlag("--colour", "the colour", {"red", "blue", "green"},
                              [&s](std::size_t k) { s.colour = k; })},
                  "SRC DST", 1, 2);
}

TEST(Flags, ParsesOrNamesTheProblem) {
  struct Case {
    std::vector<std::string> args;
    std::string problem;  // empty: parsed
    std::vector<std::string> operands;
  };
  const std::vector<Case> cases = {
      // Operands anywhere among the flags, "-" among them.
      {{"a", "--width", "5", "--all", "-"}, "", {"a", "-"}},
      {{"--all", "--width", "5", "a"}, "", {"a"}},
      // After "--" everything is an operand.
      {{"--all", "--width", "5", "--", "-a", "--sepia"}, "", {"-a", "--sepia"}},
      // A value that begins with "-" is still the flag's value.
      {{"--all", "--name", "-x", "--width", "5", "a"}, "", {"a"}},
      {{"--all", "--width", "5", "a", "--bogus"}, "unknown option --bogus", {}},
      {{"--all", "-w", "5", "a"}, "unknown option -w", {}},
      {{"--all", "a", "--width"}, "--width needs a whole number", {}},
      {{"--all", "a", "--width", "5", "--name"}, "--name needs a value", {}},
      {{"--all", "a", "--width", "5", "--colour"}, "--colour needs one of red, blue, green", {}},
      {{"--all", "a", "--width", "5x"}, "--width needs a whole number", {}},
      {{"--all", "a", "--width", ""}, "--width needs a whole number", {}},
      {{"--all", "a", "--width", "0"}, "--width must be between 1 and 100", {}},
      {{"--all", "a", "--width", "101"}, "--width must be between 1 and 100", {}},
      {{"--all", "a", "--width", "99999999999"}, "--width needs a whole number", {}},
      {{"--all", "a", "--width", "5", "--level", "11"}, "the level must be between 1 and 10", {}},
      {{"--all", "a", "--width", "5", "--colour", "pink"},
       "--colour needs one of red, blue, green",
       {}},
      {{"--all", "a", "--width", "5", "--name", ""}, "unusable value \"\" for --name", {}},
      {{"--all", "a"}, "--width is required", {}},
      {{"a", "--width", "5"}, "one of --all|--each is needed", {}},
      {{"a", "--width", "5", "--each", "--all"}, "only one of --all|--each may be given", {}},
      // A flag given again is taken again: the same one of a group is no conflict.
      {{"a", "--width", "5", "--each", "--each", "--width", "7"}, "", {"a"}},
      {{"--all", "--width", "5"}, "missing SRC DST", {}},
      {{"--all", "--width", "5", "a", "b", "c"}, "unexpected argument \"c\"", {}},
  };
  for (const Case& c : cases) {
    Stored stored;
    std::string problem;
    const auto operands = parseArguments(sample(stored), c.args, &problem);
    const std::string label = ::testing::PrintToString(c.args);
    if (c.problem.empty()) {
      EXPECT_TRUE(operands.has_value()) << label << ": " << problem;
      if (operands) {
        EXPECT_EQ(*operands, c.operands) << label;
      }
    } else {
      EXPECT_FALSE(operands.has_value()) << label;
      EXPECT_EQ(problem, c.problem) << label;
    }
  }
}

TEST(Flags, StoresEachValueWhereDeclared) {
  Stored s;
  std::string problem;
  ASSERT_TRUE(parseArguments(sample(s),
                             {"--width", "5", "--each", "--sepia", "--level", "3", "--name", "n",
                              "--colour", "blue", "--width", "7", "a"},
                             &problem))
      << problem;
  EXPECT_EQ(s.width, 7);  // the last of a repeated flag
  EXPECT_EQ(s.level, 3);
  EXPECT_TRUE(s.sepia);
  EXPECT_TRUE(s.each);
  EXPECT_FALSE(s.all);
  EXPECT_EQ(s.name, "n");
  EXPECT_EQ(s.colour, 1u);

  Stored untouched;
  ASSERT_TRUE(parseArguments(sample(untouched), {"--all", "--width", "1", "a"}, &problem));
  EXPECT_EQ(untouched.level, 8);
  EXPECT_FALSE(untouched.sepia);
  EXPECT_EQ(untouched.colour, 99u);
}

TEST(Flags, UsageAndHelpComeFromTheDeclaration) {
  Stored s;
  Syntax syntax = sample(s);
  EXPECT_EQ(usageOf(syntax),
            "sample --width W [--level L] [--sepia] --all|--each [--name TEXT] "
            "[--colour red|blue|green] SRC DST");
  syntax.operandsFirst = true;
  EXPECT_EQ(usageOf(syntax).substr(0, 22), "sample SRC DST --width");
  const std::string help = helpOf(syntax);
  // One line per flag, the help texts in one column after the widest flag.
  EXPECT_NE(help.find("      --width W                the width\n"), std::string::npos) << help;
  EXPECT_NE(help.find("      --colour red|blue|green  the colour\n"), std::string::npos) << help;
  EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 7) << help;
}

}  // namespace
}  // namespace sortelia::cli
