// The camera parameter sets: where thirteen photo data values lie at fixed byte positions in
// the head of a picture, per camera model, kept in "zel-prm.txt" in the data folder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sortelia::exif {

inline constexpr int kCameraParamSetCount = 11;
inline constexpr int kCameraParamPairs = 13;
inline constexpr const char* kCameraParamFileName = "zel-prm.txt";

// One set: a name and 13 (offset, length) pairs, k = 1..13 stored at index k - 1.
struct CameraParamSet {
  std::string Name;
  std::array<std::int32_t, kCameraParamPairs> Offset{};
  std::array<std::int32_t, kCameraParamPairs> Length{};
};

using CameraParamTable = std::array<CameraParamSet, kCameraParamSetCount>;

// The labels written above each pair in the file.
extern const char* const ParamLabels[kCameraParamPairs];

// The built-in set 0, "OLYMPUS-C700UZ".
CameraParamSet builtInCameraParamSet();

// The lines of "zel-prm.txt" for a table (463 lines for 11 sets).
std::vector<std::string> cameraParamFileLines(const CameraParamTable& table);

// ReadCameraParams on lines already read: fills the table set by set and names with every
// name read. A line that must be a number and is not ends the reading: what was read before
// it stays, and the result is an error message naming the line (1-based); "" on success.
std::string readCameraParamLines(const std::vector<std::string>& lines, CameraParamTable& table,
                                 std::vector<std::string>& names, const std::string& fileName);

// The camera parameter table of a run, with the list of set names the options window shows.
class CameraParams {
 public:
  CameraParamTable table;
  std::vector<std::string> setNames;  // names read, in file order

  // SetPdPrm: set 0 := the built-in set, then RWparam. Returns "" or an error message.
  std::string SetPdPrm(const std::string& dataFolder);
  // RWparam: writes "zel-prm.txt" from the table when it is missing (a write failure is
  // ignored), then ReadCameraParams. Returns "" or an error message for the person; an empty
  // dataFolder is an error and touches no file.
  std::string RWparam(const std::string& dataFolder);
  // ReadCameraParams: refills the table and setNames from the file. Returns "" or an error
  // message (file unreadable, or the line holding a non-number).
  std::string ReadCameraParams(const std::string& path);
};

}  // namespace sortelia::exif
