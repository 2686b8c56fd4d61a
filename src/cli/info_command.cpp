// sortelia-cli info: the photo information text of pictures, as the information window
// shows it.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "exif/camera_params.h"
#include "exif/photo_info.h"
#include "platform/data_folder.h"

namespace sortelia::cli {
namespace {

constexpr const char* kUsage = "info [--mask MASK] [--camera-set N] FILE...";

bool validMask(const std::string& m) {
  return m.size() == static_cast<std::size_t>(exif::kExifItemCount);
}

int usage() {
  std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
  return 2;
}

int runInfo(const std::vector<std::string>& args) {
  std::string mask = exif::kDefaultExifItemMask;
  int cameraSet = 0;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--mask" && i + 1 < args.size()) {
      mask = args[++i];
      if (!validMask(mask)) return usage();
    } else if (args[i] == "--camera-set" && i + 1 < args.size()) {
      const std::string& n = args[++i];
      if (n.empty() || n.size() > 2 || n.find_first_not_of("0123456789") != std::string::npos) {
        return usage();
      }
      cameraSet = std::stoi(n);
      if (cameraSet >= exif::kCameraParamSetCount) return usage();
    } else {
      break;
    }
  }
  if (i == args.size()) return usage();
  exif::CameraParams params;
  const std::string folder = ensureDataFolder();
  const std::string error = params.SetPdPrm(folder);
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  exif::PhotoInfo info;
  std::string out;
  for (std::size_t k = i; k < args.size(); ++k) {
    info.GetPdata(args[k], mask, params.table[cameraSet]);
    if (k > i) out += "\r\n";
    out += info.MakeDspPdat(mask) + "\r\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
  }
  return 0;
}

const Registrar kInfo{{"info", kUsage, runInfo, ""}};

}  // namespace
}  // namespace sortelia::cli
