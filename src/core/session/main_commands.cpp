#include "core/session/main_commands.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_kinds.h"
#include "platform/file_list.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"

namespace sortelia {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The local path of a "file:" URI ("file:///p", "file://localhost/p", "file:/p"), its %XX
// escapes decoded and any query or fragment dropped; empty for another host or no path.
std::string localPathOfFileUri(const std::string& uri) {
  std::string rest = uri.substr(5);
  if (rest.rfind("//", 0) == 0) {
    const std::size_t slash = rest.find('/', 2);
    const std::string host = rest.substr(2, slash == std::string::npos ? slash : slash - 2);
    if (!host.empty() && host != "localhost") return "";
    rest = slash == std::string::npos ? "" : rest.substr(slash);
  }
  rest = rest.substr(0, rest.find_first_of("?#"));
  if (rest.empty() || rest[0] != '/') return "";
  std::string out;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const int hi = rest[i] == '%' && i + 2 < rest.size() ? hexDigit(rest[i + 1]) : -1;
    const int lo = hi >= 0 ? hexDigit(rest[i + 2]) : -1;
    if (lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += rest[i];
    }
  }
  return out;
}

}  // namespace

std::string startPathOf(const std::string& argument, const std::string& workingDir) {
  if (argument.empty()) return "";
  std::string path = argument;
  if (path.rfind("file:", 0) == 0) {
    path = localPathOfFileUri(path);
    if (path.empty()) return "";
  }
  if (path[0] != '/') path = workingDir + "/" + path;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (const auto& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

bool OpenStartPath(SortingSession& session, const std::string& argument,
                   const std::string& workingDir) {
  const std::string path = startPathOf(argument, workingDir);
  std::string folder = path;
  std::string file;
  int error = path.empty() ? EINVAL : folderReadError(path);
  if (error == ENOTDIR && fs::exists(path)) {  // a file: its folder is opened
    folder = fs::folderOf(path);
    file = path;
    error = folderReadError(folder);
  }
  if (error != 0) {
    const std::string name = path.empty() ? argument : path;
    const std::string reason = std::strerror(error);
    session.ui().message(
        Icon::Warning,
        session.state().options.japaneseMode
            ? format("指定されたフォルダ・ファイルを開けません: %s\r\n別のフォルダを後から指定しま"
                     "しょう！\r\n  名前[ %s ]",
                     {reason, name})
            : format("Cannot Open the Folder or File: %s\r\nSelect Another Folder, Later.\r\n  "
                     "Name [ %s ]",
                     {reason, name}),
        Buttons::Ok);
    return false;
  }
  if (session.refuseLineBreakFolder(folder)) return false;
  session.runDeletionPass();
  SortingState& state = session.state();
  state.list.sourceDir = folder == "/" ? folder : folder + "/";
  session.recomposeCaption();
  session.scan().rescanSourceFolder(file);
  return true;
}

void Open1Click(SortingSession& session) {
  session.runDeletionPass();
  SortingState& state = session.state();
  FileDialog d;
  d.title = d.fileName =
      session.tr("フォトデータがあるフォルダを開く", "Open the Folder with Original Photo Data.");
  session.openDialogFilter = session.tr(
      "画像(*.JPG)とムーヴィー(*.MOV,*.MPG)|*.JPG;*.MOV;*.MPG|画像(*.JPG)|*.JPG|"
      "ムーヴィー(*.MOV,*.MPG)|*.MOV;*.MPG|すべてのファイル(*.*)|*.*|",
      "Pic(*.JPG) & Movie(*.MOV,*.MPG)|*.JPG;*.MOV;*.MPG|Pic(*.JPG)|*.JPG|Movie(*.MOV,*."
      "MPG)|*.MOV;*.MPG|All Files(*.*)|*.*|");
  // A folder of a phone may hold no JPEG at all: the first choice shows every kind the list
  // takes.
  if (!state.options.jpegMovMpgOnly) {
    std::string patterns;
    for (const fs::MediaKindEntry& k : fs::kFileKinds) {
      if (k.kind == fs::MediaKind::Sidecar) continue;
      patterns += (patterns.empty() ? "*" : ";*") + std::string(k.extension);
    }
    session.openDialogFilter =
        session.tr("画像・RAW・ムーヴィーのすべて|", "Pictures, RAW and Movies|") + patterns + "|" +
        session.openDialogFilter;
  }
  d.filter = session.openDialogFilter;
  d.initialDir = state.list.sourceDir;
  d.anyName = true;  // only the folder counts
  const auto chosen = session.ui().openFile(d);
  if (!chosen) return;
  const std::string folder = fs::folderPrefixOf(*chosen);
  if (folder.empty() || session.refuseLineBreakFolder(fs::withoutTrailingSlashes(folder))) return;
  state.list.sourceDir = folder;
  session.recomposeCaption();
  session.scan().rescanSourceFolder();
}

void PopupMenu1Popup(SortingSession& session) {
  session.ui().setInfoText(
      "★Undo : 整理モードのとき、前の処理を元に戻します。\r\n"
      "★Open : イメージファイルが保存されているフォルダを選びます。保存先のフォルダを開き、任意の"
      "１ファイルを選びましょう。\r\n"
      "★Option : 各種のオプション設定とコマンド実行ができます。\r\n"
      "★End : このプログラムを終了します。");
}

}  // namespace sortelia
