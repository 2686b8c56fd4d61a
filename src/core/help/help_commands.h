// The Help and Version commands of the main menu: the readme shown in the help window, and
// the box with the program's name, version, contact address and licence.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/session/sorting_session.h"

namespace sortelia {

inline constexpr const char* kReadmeFileName = "ZELreadme.txt";
inline constexpr const char* kContactAddress = "https://sortelia.example.org/";
// The licence, as the Version box and `sortelia-cli --version` state it (lines joined by
// "\r\n").
inline constexpr const char* kLicenceJapanese =
    "ライセンス : GNU GPL バージョン3以降 (GPL-3.0-or-later)\r\n"
    "このプログラムはフリーソフトウェアで、無保証です。";
inline constexpr const char* kLicenceEnglish =
    "Licence : GNU GPL version 3 or later (GPL-3.0-or-later)\r\n"
    "This program is free software and comes with ABSOLUTELY NO WARRANTY.";

// The first of folders that holds the readme as a regular file; nullopt when none does.
std::optional<std::string> findReadme(const std::vector<std::string>& folders);

// The version box's text.
std::string versionText(bool japanese);

class HelpCommands {
 public:
  // folders: where the readme is looked for, in order (the data folder, beside the
  // executable, the installed share folder); showHelp shows the help window with a caption
  // and a text (lines joined by "\n").
  HelpCommands(SortingSession& session, std::vector<std::string> folders,
               std::function<void(const std::string& caption, const std::string& text)> showHelp);

  // Help1Click: a short message, then the readme in the help window; a readme that cannot be
  // found or read is reported and the help window stays hidden.
  void Help1Click();
  // Version1Click: the version box.
  void Version1Click();

 private:
  SortingSession& session_;
  std::vector<std::string> folders_;
  std::function<void(const std::string&, const std::string&)> showHelp_;
};

}  // namespace sortelia
