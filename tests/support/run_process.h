// Runs a program with an argument vector (never through a shell) and collects its output.
#pragma once

#include <string>
#include <vector>

namespace sortelia::testing {

struct ProcessResult {
  int exitCode = -1;  // -1 when the program could not be started or did not exit normally
  std::string out;
  std::string err;
};

// Runs argv[0] (looked up in PATH) with argv; standard input is empty.
ProcessResult runProcess(const std::vector<std::string>& argv);

// True when program is found in PATH.
bool haveProgram(const std::string& program);

}  // namespace sortelia::testing
