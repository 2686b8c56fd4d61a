#include "core/options/options_commands.h"

#include <algorithm>

#include "core/display/image_list.h"
#include "core/options/extra_options.h"
#include "core/options/language_setting.h"
#include "core/state/window_caption.h"
#include "exif/photo_export.h"
#include "exif/photo_loader.h"
#include "exif/rename_by_date.h"
#include "platform/format.h"

namespace sortelia {
std::vector<bool> itemChecksOf(const std::string& mask) {
  std::vector<bool> checks(exif::kExifItemCount, false);
  for (std::size_t k = 0; k < checks.size() && k < mask.size(); ++k) checks[k] = mask[k] == '1';
  return checks;
}

std::string maskOfItemChecks(const std::vector<bool>& checks) {
  std::string mask(exif::kExifItemCount, '0');
  for (std::size_t k = 0; k < mask.size() && k < checks.size(); ++k) {
    if (checks[k]) mask[k] = '1';
  }
  return mask;
}

std::string batchFailureText(const BatchReport& report, bool japanese, std::size_t maxLines) {
  if (report.failed.empty()) return "";
  std::string text = japanese ? format("処理できなかったファイルがあります。[ %d 件 ]",
                                       {static_cast<int>(report.failed.size())})
                              : format("Some files could not be processed. [ %d ]",
                                       {static_cast<int>(report.failed.size())});
  for (std::size_t i = 0; i < report.failed.size() && i < maxLines; ++i) {
    text += "\r\n" + report.failed[i].text;
  }
  if (report.failed.size() > maxLines) {
    const int rest = static_cast<int>(report.failed.size() - maxLines);
    text += japanese ? format("\r\n…ほか %d 件", {rest}) : format("\r\n... and %d more", {rest});
  }
  return text;
}

OptionsCommands::OptionsCommands(SortingSession& session) : session_(session) {}

void OptionsCommands::apply(const Options& edited) {
  const bool languageChanged = edited.japaneseMode != session_.state().options.japaneseMode;
  const bool storedChanged = extraOptionLines(edited) != extraOptionLines(session_.state().options);
  const Options& before = session_.state().options;
  const bool listingChanged = edited.jpegMovMpgOnly != before.jpegMovMpgOnly ||
                              edited.keepCompanions != before.keepCompanions;
  // The list is rebuilt after the queue has written what it holds, as every rebuild is.
  if (listingChanged) session_.waitForTransfers();
  session_.state().options = edited;
  if (storedChanged) (void)writeExtraOptions(session_.dataFolder(), edited);
  if (languageChanged) switchLanguage(session_, edited.japaneseMode);
  // Which files the list holds, and which go with a picture, show at once.
  if (listingChanged && !session_.state().list.sourceDir.empty()) {
    session_.runDeletionPass();
    session_.scan().rescanSourceFolder();
  }
}

void OptionsCommands::reportFailures(const BatchReport& report) {
  const std::string text = batchFailureText(report, session_.state().options.japaneseMode);
  if (!text.empty()) session_.ui().message(Icon::Warning, text, Buttons::Ok);
}

void OptionsCommands::SaveImgInfo(int mode) {
  session_.waitForTransfers();
  SortingState& state = session_.state();
  Ui& ui = session_.ui();
  if (state.list.images.empty()) {
    ui.message(Icon::None, "処理するデータがありません。", Buttons::Ok);
    return;
  }
  std::string q = session_.tr("☆テキストファイルで写真情報を書き出します☆",
                              "* Save the Infomation of Photo Data (make TEXT FILE) *");
  if (mode == 1) {
    ui.setInfoText(
        "　インフォメーションで表示している写真の撮影データを１つのテキストファイルにして保存"
        "します。\r\n※動作確認は、オリンパス UZ700C です。\r\n※ [ _Photo.txt ]に保存されます。");
    q += "\r\n\r\n";
    q += state.options.japaneseMode ? std::string(" すべての写真データの情報を１つのファイル[ ") +
                                          exif::kPhotoInfoFileName + " ]にします。"
                                    : std::string(" Make a one file[ ") + exif::kPhotoInfoFileName +
                                          " ] that has All of Photos.";
  } else {
    ui.setInfoText(
        "　インフォメーションで表示している写真の撮影データを個別のテキストファイルに保存します"
        "。\r\n　作成されるファイルの名前はフォトデータファイルと同じ名前で、拡張子は TXT "
        "になります。\r\n※動作確認は、オリンパス UZ700C です。");
    q += "\r\n\r\n";
    q += session_.tr(" 写真データごとに情報ファイルをつくります。",
                     " Make each file with same filename.");
  }
  q += "\r\n\r\n";
  q += format(session_.tr("現在、整理元のフォルダは[ %s ]です。", "Folder is [ %s ], now."),
              {state.list.sourceDir});
  const Answer answer = ui.message(Icon::Question, q, Buttons::OkCancel);
  ui.setInfoText("");
  if (answer != Answer::Ok) return;
  BatchReport report;
  {
    BusyCursor busy(ui);
    // The export reads the pictures with a photo record of its own: the shown picture keeps
    // its photo data (and its rotation mark), which printing and comment editing rely on.
    exif::PhotoInfo info;
    exif::PhotoInfoLoader loader(info, state.options.exifItemMask,
                                 session_.photoData().selectedCameraSet());
    if (mode == 1) {
      report = exif::exportAllInOne(state.list.images, state.list.sourceDir, loader);
    } else if (mode == 2) {
      report = exif::exportEachPicture(state.list.images, loader);
    }
  }
  ui.message(Icon::None, "処理が終了しました。", Buttons::Ok);
  reportFailures(report);
}

void OptionsCommands::Button2Click() {
  session_.waitForTransfers();
  SortingState& state = session_.state();
  Ui& ui = session_.ui();
  const std::string question = session_.tr("写真データのファイル名を撮影日時につけかえます",
                                           "Rename All. Using with Date and Time of Photo File.");
  if (ui.message(Icon::Question, question, Buttons::YesNo) != Answer::Yes) return;
  BatchReport report;
  {
    BusyCursor busy(ui);
    exif::PhotoInfo info;
    exif::PhotoInfoLoader loader(info, state.options.exifItemMask,
                                 session_.photoData().selectedCameraSet());
    const std::vector<std::string> entries = state.list.images;  // the count is taken once
    exif::RenameOptions options;
    if (state.options.keepCompanions) {
      options.companionsOf = [&state](const std::string& entry) {
        return companionsOf(state.list.companions, entry);
      };
    }
    report = exif::renameByShootingTime(entries, loader, options);
  }
  session_.runDeletionPass();
  session_.scan().rescanSourceFolder();
  reportFailures(report);
}

std::optional<std::string> OptionsCommands::dumpListPicture() const {
  const SourceList& list = session_.state().list;
  const std::string* shown = list.shownEntry();
  if (!shown) return std::nullopt;
  return entryPath(*shown);
}

void OptionsCommands::reloadCameraParams() {
  const std::string& folder = session_.dataFolder();
  if (folder.empty()) return;  // no data folder: only the built-in set exists
  const std::string error = session_.photoData().cameraParams().RWparam(folder);
  if (!error.empty()) session_.ui().message(Icon::Error, error, Buttons::Ok);
}

void OptionsCommands::FormClose() {
  if (recomposeCaption) {
    recomposeCaption();
    return;
  }
  const std::string caption =
      windowCaption(session_.state(), session_.controls().isChecked(Control::CheckShow));
  session_.controls().setCaption(Control::Form1, caption);
}

}  // namespace sortelia
