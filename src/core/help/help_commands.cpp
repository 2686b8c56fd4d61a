#include "core/help/help_commands.h"

#include <cerrno>
#include <cstring>

#include "core/state/window_caption.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/line_file.h"

namespace sortelia {

std::optional<std::string> findReadme(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string path = folder + "/" + kReadmeFileName;
    if (fs::isRegularFile(path)) return path;
  }
  return std::nullopt;
}

std::string versionText(bool japanese) {
  return format(japanese ? "%s\r\nバージョン %s\r\n連絡先 : %s\r\n%s"
                         : "%s\r\nVersion %s\r\nContact : %s\r\n%s",
                {kProductTitle, "ZEL v2.4   '070312", kContactAddress,
                 japanese ? kLicenceJapanese : kLicenceEnglish});
}

HelpCommands::HelpCommands(
    SortingSession& session, std::vector<std::string> folders,
    std::function<void(const std::string& caption, const std::string& text)> showHelp)
    : session_(session), folders_(std::move(folders)), showHelp_(std::move(showHelp)) {}

void HelpCommands::Help1Click() {
  Ui& ui = session_.ui();
  ui.message(Icon::None, "ごめんなさい。ありませんが(^^;)ReadMeをどうぞ！", Buttons::Ok);
  const auto path = findReadme(folders_);
  std::optional<std::vector<std::string>> lines;
  if (path) lines = readTextLines(*path);
  if (!lines) {
    const std::string shown = path ? *path : std::string(kReadmeFileName);
    const int error = path ? fs::readError(*path) : ENOENT;
    ui.message(Icon::Error,
               format(session_.tr("ファイル[ %s ]が読めません。\r\n%s",
                                  "Cannot read the file [ %s ].\r\n%s"),
                      {shown, std::strerror(error != 0 ? error : EIO)}),
               Buttons::Ok);
    return;
  }
  std::string text;
  for (std::size_t i = 0; i < lines->size(); ++i) text += (i ? "\n" : "") + (*lines)[i];
  if (showHelp_) showHelp_("Help(ReadMe)", text);
}

void HelpCommands::Version1Click() {
  session_.ui().message(Icon::Information, versionText(session_.state().options.japaneseMode),
                        Buttons::Ok);
}

}  // namespace sortelia
