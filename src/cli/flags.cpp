#include "cli/flags.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>
#include <utility>

namespace sortelia::cli {
namespace {

std::optional<int> wholeNumber(const std::string& s) {
  int v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string r;
  for (const std::string& p : parts) r += (r.empty() ? "" : separator) + p;
  return r;
}

std::string valueNameOf(const Flag& f) {
  if (!f.valueName.empty() || f.kind != ValueKind::Choice) return f.valueName;
  return joined(f.choices, "|");
}

// "--width W", or "--sepia" for a flag without a value.
std::string flagToken(const Flag& f) {
  return f.kind == ValueKind::None ? f.name : f.name + " " + valueNameOf(f);
}

const Flag* findFlag(const Syntax& syntax, const std::string& name) {
  for (const Flag& f : syntax.flags) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

// The names of the flags of group, joined by "|".
std::string groupNames(const Syntax& syntax, const std::string& group) {
  std::vector<std::string> names;
  for (const Flag& f : syntax.flags) {
    if (f.group == group) names.push_back(flagToken(f));
  }
  return joined(names, "|");
}

// The problem with value for flag f, after storing it; empty when it is usable.
std::string storeValue(const Flag& f, const std::string& value) {
  int number = 0;
  switch (f.kind) {
    case ValueKind::None:
    case ValueKind::Text:
      break;
    case ValueKind::Integer: {
      const auto n = wholeNumber(value);
      if (!n) return f.name + " needs a whole number";
      if (*n < f.min || *n > f.max) {
        if (!f.rangeText.empty()) return f.rangeText;
        return f.name + " must be between " + std::to_string(f.min) + " and " +
               std::to_string(f.max);
      }
      number = *n;
      break;
    }
    case ValueKind::Choice: {
      std::size_t k = 0;
      while (k < f.choices.size() && f.choices[k] != value) ++k;
      if (k == f.choices.size()) return f.name + " needs one of " + joined(f.choices, ", ");
      number = static_cast<int>(k);
      break;
    }
  }
  if (f.store && !f.store(value, number)) {
    return "unusable value \"" + value + "\" for " + f.name;
  }
  return "";
}

std::string missingValue(const Flag& f) {
  switch (f.kind) {
    case ValueKind::Integer:
      return f.name + " needs a whole number";
    case ValueKind::Choice:
      return f.name + " needs one of " + joined(f.choices, ", ");
    default:
      return f.name + " needs a value";
  }
}

// The problem with the flags given (names, in order); empty when a required flag or group is
// there and no group has two different flags.
std::string checkPresence(const Syntax& syntax, const std::vector<std::string>& given) {
  std::set<std::string> seen(given.begin(), given.end());
  for (const Flag& f : syntax.flags) {
    if (f.group.empty()) {
      if (f.required && !seen.contains(f.name)) return f.name + " is required";
      continue;
    }
    std::set<std::string> members;
    for (const Flag& g : syntax.flags) {
      if (g.group == f.group && seen.contains(g.name)) members.insert(g.name);
    }
    if (members.size() > 1) return "only one of " + groupNames(syntax, f.group) + " may be given";
    if (f.required && members.empty())
      return "one of " + groupNames(syntax, f.group) + " is needed";
  }
  return "";
}

Flag makeFlag(std::string name, ValueKind kind, std::string valueName, std::string help) {
  Flag f;
  f.name = std::move(name);
  f.kind = kind;
  f.valueName = std::move(valueName);
  f.help = std::move(help);
  return f;
}

}  // namespace

Flag switchFlag(std::string name, std::string help, bool& target, bool value) {
  Flag f = makeFlag(std::move(name), ValueKind::None, "", std::move(help));
  f.store = [&target, value](const std::string&, int) {
    target = value;
    return true;
  };
  return f;
}

Flag textFlag(std::string name, std::string valueName, std::string help, std::string& target,
              std::function<bool(const std::string&)> accept) {
  return textFlag(std::move(name), std::move(valueName), std::move(help),
                  [&target, accept = std::move(accept)](const std::string& v) {
                    target = v;
                    return !accept || accept(v);
                  });
}

Flag textFlag(std::string name, std::string valueName, std::string help,
              std::function<bool(const std::string&)> store) {
  Flag f = makeFlag(std::move(name), ValueKind::Text, std::move(valueName), std::move(help));
  f.store = [store = std::move(store)](const std::string& v, int) { return store(v); };
  return f;
}

namespace {

// An integer flag whose value is stored into target (an int, or an optional one).
template <typename Target>
Flag integerFlagInto(std::string name, std::string valueName, std::string help, int min, int max,
                     Target& target) {
  Flag f = makeFlag(std::move(name), ValueKind::Integer, std::move(valueName), std::move(help));
  f.min = min;
  f.max = max;
  f.store = [&target](const std::string&, int n) {
    target = n;
    return true;
  };
  return f;
}

}  // namespace

Flag integerFlag(std::string name, std::string valueName, std::string help, int min, int max,
                 int& target) {
  return integerFlagInto(std::move(name), std::move(valueName), std::move(help), min, max, target);
}

Flag integerFlag(std::string name, std::string valueName, std::string help, int min, int max,
                 std::optional<int>& target) {
  return integerFlagInto(std::move(name), std::move(valueName), std::move(help), min, max, target);
}

Flag choiceFlag(std::string name, std::string help, std::vector<std::string> choices,
                std::function<void(std::size_t)> chosen) {
  Flag f = makeFlag(std::move(name), ValueKind::Choice, "", std::move(help));
  f.choices = std::move(choices);
  f.store = [chosen = std::move(chosen)](const std::string&, int k) {
    chosen(static_cast<std::size_t>(k));
    return true;
  };
  return f;
}

Flag required(Flag f) {
  f.required = true;
  return f;
}

Flag withRangeText(Flag f, std::string text) {
  f.rangeText = std::move(text);
  return f;
}

Syntax syntaxOf(std::string command, std::vector<Flag> flags, std::string operands,
                std::size_t minOperands, std::size_t maxOperands) {
  Syntax s;
  s.command = std::move(command);
  s.flags = std::move(flags);
  s.operands = std::move(operands);
  s.minOperands = minOperands;
  s.maxOperands = maxOperands;
  return s;
}

Syntax operandsFirst(Syntax s) {
  s.operandsFirst = true;
  return s;
}

std::string usageOf(const Syntax& syntax) {
  std::vector<std::string> items;
  std::set<std::string> groupsShown;
  for (const Flag& f : syntax.flags) {
    std::string token = flagToken(f);
    if (!f.group.empty()) {
      if (!groupsShown.insert(f.group).second) continue;
      token = groupNames(syntax, f.group);
    }
    items.push_back(f.required ? token : "[" + token + "]");
  }
  if (!syntax.operands.empty()) {
    if (syntax.operandsFirst) {
      items.insert(items.begin(), syntax.operands);
    } else {
      items.push_back(syntax.operands);
    }
  }
  items.insert(items.begin(), syntax.command);
  return joined(items, " ");
}

std::string helpOf(const Syntax& syntax) {
  std::size_t width = 0;
  for (const Flag& f : syntax.flags) {
    if (!f.help.empty()) width = std::max(width, flagToken(f).size());
  }
  std::string r;
  for (const Flag& f : syntax.flags) {
    if (f.help.empty()) continue;
    const std::string token = flagToken(f);
    r += "      " + token + std::string(width - token.size() + 2, ' ') + f.help + "\n";
  }
  return r;
}

std::optional<std::vector<std::string>> parseArguments(const Syntax& syntax,
                                                       const std::vector<std::string>& args,
                                                       std::string* problem) {
  std::vector<std::string> operands;
  std::vector<std::string> given;
  const auto fail = [problem](std::string text) {
    *problem = std::move(text);
    return std::nullopt;
  };
  bool flagsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (flagsEnded || a.size() < 2 || a[0] != '-') {
      operands.push_back(a);
      continue;
    }
    if (a == "--") {
      flagsEnded = true;
      continue;
    }
    const Flag* f = findFlag(syntax, a);
    if (f == nullptr) return fail("unknown option " + a);
    std::string value;
    if (f->kind != ValueKind::None) {
      if (i + 1 >= args.size()) return fail(missingValue(*f));
      value = args[++i];
    }
    if (std::string why = storeValue(*f, value); !why.empty()) return fail(std::move(why));
    given.push_back(a);
  }
  if (std::string why = checkPresence(syntax, given); !why.empty()) return fail(std::move(why));
  if (operands.size() < syntax.minOperands) return fail("missing " + syntax.operands);
  if (operands.size() > syntax.maxOperands) {
    return fail("unexpected argument \"" + operands[syntax.maxOperands] + "\"");
  }
  return operands;
}

std::optional<std::vector<std::string>> parseOrReport(const Syntax& syntax,
                                                      const std::vector<std::string>& args) {
  std::string problem;
  auto operands = parseArguments(syntax, args, &problem);
  if (!operands) {
    std::fprintf(stderr, "sortelia-cli %s: %s\n", syntax.command.c_str(), problem.c_str());
    reportUsage(syntax);
  }
  return operands;
}

int reportUsage(const Syntax& syntax) {
  std::fprintf(stderr, "usage: sortelia-cli %s\n", usageOf(syntax).c_str());
  return 2;
}

}  // namespace sortelia::cli
