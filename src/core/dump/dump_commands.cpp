#include "core/dump/dump_commands.h"

#include <cstring>

#include "exif/camera_params.h"
#include "platform/file_ops.h"
#include "platform/format.h"

namespace sortelia {

DumpCommands::DumpCommands(SortingSession& session) : session_(session) {}

bool DumpCommands::MakeDump(int pane, const std::string& path) {
  DumpPane& p = panes_[index(pane)];
  p.path = path;
  outputs::HexDump dump;
  {
    BusyCursor busy(session_.ui());
    dump = outputs::MakeDump(path);
  }
  if (!dump.result.ok()) {
    const std::string reason = dump.result.error > 0 ? std::strerror(dump.result.error) : "";
    session_.ui().message(Icon::Error,
                          format(session_.tr("ファイルが読めません。\r\n[ %s ]\r\n%s",
                                             "Cannot read the file.\r\n[ %s ]\r\n%s"),
                                 {path, reason}),
                          Buttons::Ok);
    return false;
  }
  p.lines = std::move(dump.lines);
  return true;
}

bool DumpCommands::DmpFileOpen(int pane) {
  FileDialog d;
  d.title = "ダンプする画像ファイルの選択";
  d.filter = "すべてのファイル (*.*)|*.*|JPEG イメージファイル (*.jpg)|*.jpg";
  d.initialDir = session_.state().list.sourceDir;
  const auto chosen = session_.ui().openFile(d);
  if (!chosen) return false;
  return MakeDump(pane, *chosen);
}

outputs::DumpComparison DumpCommands::Chk(
    const CancelToken& token, const std::function<void(const std::string&)>& showCaption) {
  const auto& upper = panes_[0].lines;
  const auto& lower = panes_[1].lines;
  if (upper.empty() || lower.empty()) return {};
  Ui& ui = session_.ui();
  BusyCursor busy(ui);
  return outputs::compareDumps(upper, lower, token, [&](int row, int rows) {
    if (showCaption) showCaption(outputs::comparisonCaption(row, rows));
    ui.processPendingInput();
  });
}

bool DumpCommands::Edit() {
  const std::string& folder = session_.dataFolder();
  if (folder.empty()) return false;
  const std::string path = folder + "/" + exif::kCameraParamFileName;
  if (!fs::exists(path)) {
    const std::string error = session_.photoData().cameraParams().RWparam(folder);
    if (!error.empty()) {
      session_.ui().message(Icon::Error, error, Buttons::Ok);
      return false;
    }
  }
  return session_.display().StartPlayer(path);
}

}  // namespace sortelia
