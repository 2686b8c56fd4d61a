// The flags of a sub-command, declared once: the usage line, the help lines of
// `sortelia-cli --help` and the parsing of the arguments all come from one declaration.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace sortelia::cli {

enum class ValueKind { None, Text, Integer, Choice };

// One flag. store receives the value and says whether it is usable: the text as given (for a
// choice, the chosen text) and, for an integer, the number, for a choice, the index of the
// choice. A flag given twice is stored twice, in order: a plain value keeps the last one.
struct Flag {
  std::string name;  // "--width"
  ValueKind kind = ValueKind::None;
  std::string valueName;  // the value in the usage line: "W"
  std::string help;       // one line in the listing of `sortelia-cli --help`
  int min = std::numeric_limits<int>::min();
  int max = std::numeric_limits<int>::max();
  std::string rangeText;  // the problem when an integer is outside min..max (a default if empty)
  std::vector<std::string> choices;
  bool required = false;
  // Flags of one group exclude each other (the same one may be repeated); shown as "--a|--b".
  // A required group needs exactly one of them.
  std::string group;
  std::function<bool(const std::string& text, int number)> store;
};

// A flag without a value that sets target to value.
Flag switchFlag(std::string name, std::string help, bool& target, bool value = true);
// A flag with a text value; accept (when given) refuses an unusable value.
Flag textFlag(std::string name, std::string valueName, std::string help, std::string& target,
              std::function<bool(const std::string&)> accept = {});
// A flag with a text value handed to store, which refuses an unusable value.
Flag textFlag(std::string name, std::string valueName, std::string help,
              std::function<bool(const std::string&)> store);
// A flag with a whole number from min to max.
Flag integerFlag(std::string name, std::string valueName, std::string help, int min, int max,
                 int& target);
Flag integerFlag(std::string name, std::string valueName, std::string help, int min, int max,
                 std::optional<int>& target);
// A flag whose value is one of choices; chosen receives its index.
Flag choiceFlag(std::string name, std::string help, std::vector<std::string> choices,
                std::function<void(std::size_t)> chosen);
// f, needed on every run.
Flag required(Flag f);
// f, with text as the problem when its integer is out of range.
Flag withRangeText(Flag f, std::string text);

// A sub-command's arguments: its flags and its operands (the arguments that are not flags).
struct Syntax {
  std::string command;  // "album"
  std::vector<Flag> flags;
  std::string operands;  // the operands in the usage line: "SRC DST", "FILE..."
  std::size_t minOperands = 0;
  std::size_t maxOperands = std::numeric_limits<std::size_t>::max();
  bool operandsFirst = false;  // the usage line names the operands before the flags
};

// The syntax of command: flags, then operands (shown as operands in the usage line) counted
// from minOperands to maxOperands.
Syntax syntaxOf(std::string command, std::vector<Flag> flags, std::string operands,
                std::size_t minOperands,
                std::size_t maxOperands = std::numeric_limits<std::size_t>::max());

// s, with its operands named first in the usage line.
Syntax operandsFirst(Syntax s);

// "album SOURCE-FOLDER --width W --height H [--level L] ...".
std::string usageOf(const Syntax& syntax);
// One line per flag with a help text: "    --width W  the width ...\n".
std::string helpOf(const Syntax& syntax);

// Parses args (the arguments after the sub-command's name) and stores the flags' values. Every
// argument of two or more characters that begins with "-" is a flag; the others ("-" too) are
// operands, anywhere among the flags. After "--" every argument is an operand ("-x.jpg"). Returns
// the operands, or nullopt with the problem in *problem ("unknown option --bogus", "--width needs a
// whole number", ...).
std::optional<std::vector<std::string>> parseArguments(const Syntax& syntax,
                                                       const std::vector<std::string>& args,
                                                       std::string* problem);

// As parseArguments, but a problem is printed on standard error with the usage line:
// "sortelia-cli album: unknown option --bogus\nusage: sortelia-cli album ...\n".
std::optional<std::vector<std::string>> parseOrReport(const Syntax& syntax,
                                                      const std::vector<std::string>& args);

// Prints the usage line of syntax on standard error and returns the exit status of a misuse.
int reportUsage(const Syntax& syntax);

}  // namespace sortelia::cli
