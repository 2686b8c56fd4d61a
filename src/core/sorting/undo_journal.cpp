#include "core/sorting/undo_journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <optional>

#include "core/display/image_list.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/quoted_text.h"

namespace sortelia {
namespace {

bool blank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string composeJournalLine(const std::string& kind, const std::string& source,
                               const std::string& destination) {
  return kind + ", " + text::quoteText(source) + ", " + text::quoteText(destination);
}

std::string composeJournalLine(const std::string& kind, const std::vector<JournalFile>& files) {
  std::string line = kind;
  for (const JournalFile& f : files) {
    line += ", " + text::quoteText(f.source) + ", " + text::quoteText(f.destination);
  }
  return line;
}

std::vector<JournalFile> journalFiles(const std::vector<std::string>& items) {
  std::vector<JournalFile> files;
  for (std::size_t i = 1; i < items.size(); i += 2) {
    files.push_back({items[i], i + 1 < items.size() ? items[i + 1] : std::string()});
  }
  if (files.empty()) files.emplace_back();
  return files;
}

std::vector<std::string> parseCommaText(const std::string& line) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string item;
    if (line[i] == '"') {
      item = text::readQuotedText(line, i);
    } else {
      while (i < line.size() && line[i] != ',') item += line[i++];
      while (!item.empty() && blank(item.back())) item.pop_back();
    }
    items.push_back(std::move(item));
    while (i < line.size() && line[i] != ',') ++i;  // anything up to the next separator
    if (i < line.size()) ++i;
  }
  return items;
}

std::string keptOriginalPath(const std::string& path) {
  return fs::folderPrefixOf(path) + kOrgPrefix + fs::fileNameOf(path);
}

UndoJournal::UndoJournal(SortingSession& session, fs::FileOperations& files)
    : session_(session), files_(files), longSteps_(files) {}

void UndoJournal::SetUndoMrk(const std::string& kind, const std::string& source,
                             const std::string& destination) {
  session_.state().undo.lines.push_back(composeJournalLine(kind, source, destination));
  SetUndoCap(kind);
}

void UndoJournal::SetUndoMrk(const std::string& kind, const std::vector<JournalFile>& files) {
  session_.state().undo.lines.push_back(composeJournalLine(kind, files));
  SetUndoCap(kind);
}

void UndoJournal::SetUndoCap(const std::string& text) {
  session_.controls().setCaption(Control::Undo1,
                                 format("%s ☆ %s ☆", {session_.state().undo.hint, text}));
}

void UndoJournal::Undo1Click() {
  session_.waitForTransfers();
  SortingState& st = session_.state();
  if (st.undo.lines.empty()) return;
  std::vector<std::string> items = parseCommaText(st.undo.lines.back());
  items.resize(std::max<std::size_t>(items.size(), 3));
  const std::string& kind = items[0];
  {
    BusyCursor busy(session_.ui());
    const std::vector<JournalFile> files = journalFiles(items);
    if (kind == kJournalCopy) {
      undoCopy(items[1], items[2]);
      for (std::size_t i = 1; i < files.size(); ++i) undoCompanionCopy(files[i]);
    } else if (kind == kJournalMove || kind == kJournalMovRS) {
      if (!undoMove(files, kind == kJournalMovRS)) return;
    } else if (kind == kJournalDel) {
      undoDel(items[1]);
    }
    st.undo.lines.pop_back();
    const auto newest = st.undo.lines.empty() ? std::vector<std::string>{kNoRecord}
                                              : parseCommaText(st.undo.lines.back());
    SetUndoCap(newest.empty() ? std::string() : newest.front());
    st.list.sortIndex = std::max(1, st.list.sortIndex - 1);
    session_.scan().showListPosition(st.list.sortIndex);
  }
}

// A copy is taken back by deleting it, but only while its source is still there as a file of
// its own: otherwise the copy is the last one of the picture and stays. Either way the line is
// done with: a line that can never be taken back must not hold back the older ones.
void UndoJournal::undoCopy(const std::string& source, const std::string& destination) {
  const bool ja = session_.state().options.japaneseMode;
  if (!files_.exists(destination)) {
    reportDropped(ja ? format("整理先のファイルがありません[ %s ]。\r\n"
                              "取り消すコピーがないため、この記録を消します。",
                              {destination})
                     : format("The sorted file is gone [ %s ].\r\n"
                              "There is no copy to take back; the record is dropped.",
                              {destination}));
    return;
  }
  if (!fs::isRegularFile(source)) {
    reportDropped(ja ? format("元のファイルがありません[ %s ]。\r\n"
                              "整理先のファイル[ %s ]は唯一のコピーなので削除せず、"
                              "この記録を消します。",
                              {source, destination})
                     : format("The original file is gone [ %s ].\r\n"
                              "The sorted file [ %s ] is the only copy and is kept; "
                              "the record is dropped.",
                              {source, destination}));
    return;
  }
  if (files_.sameFile(source, destination)) {
    reportDropped(ja ? format("元のファイル[ %s ]と整理先のファイル[ %s ]は同じファイルです。\r\n"
                              "削除せず、この記録を消します。",
                              {source, destination})
                     : format("The original file [ %s ] and the sorted file [ %s ] are one "
                              "file.\r\nIt is kept; the record is dropped.",
                              {source, destination}));
    return;
  }
  (void)files_.removeFile(destination);
}

void UndoJournal::undoCompanionCopy(const JournalFile& file) {
  if (!files_.exists(file.destination) || !fs::isRegularFile(file.source) ||
      files_.sameFile(file.source, file.destination)) {
    return;
  }
  (void)files_.removeFile(file.destination);
}

// A move is put back file by file, the picture first (from its kept full-size file when it was
// reduced on the way); only when every file is back are the sorted files deleted. A companion
// whose sorted file has gone is left out; a picture whose sorted file has gone drops the line.
bool UndoJournal::undoMove(const std::vector<JournalFile>& files, bool reduced) {
  const std::string title = reduced ? "Org Copying..." : "Copying...";
  session_.ui().setStatusText(title);
  const std::string picture =
      reduced ? keptOriginalPath(files.front().destination) : files.front().destination;
  if (!fs::isRegularFile(picture)) {
    reportDropped(movedFileGone(picture));
    return true;
  }
  std::vector<std::string> putBackNow;
  std::vector<std::string> sorted;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string from = i == 0 ? picture : files[i].destination;
    if (i > 0 && !fs::isRegularFile(from)) continue;
    bool created = false;
    if (!putBack(from, files[i].source, title, created)) {
      for (const std::string& p : putBackNow) (void)files_.removeFile(p);
      return false;
    }
    if (created) putBackNow.push_back(files[i].source);
    sorted.push_back(from);
  }
  if (reduced) (void)files_.removeFile(files.front().destination);
  for (const std::string& p : sorted) (void)files_.removeFile(p);
  return true;
}

// The text for a move whose file in the destination (or its kept original) has gone, so that
// nothing is left to put back.
std::string UndoJournal::movedFileGone(const std::string& path) const {
  return session_.state().options.japaneseMode
             ? format(
                   "整理先のファイルがありません[ %s ]。\r\n"
                   "元に戻せないため、この記録を消します。",
                   {path})
             : format(
                   "The sorted file is gone [ %s ].\r\n"
                   "It cannot be put back; the record is dropped.",
                   {path});
}

// Copies from back to to without overwriting and verifies it; on any failure the partial
// copy is removed, the person is told, and false keeps from untouched. The copy is written
// under a temporary name beside to and takes to's name only once verified, so that no
// cut-short picture ever stands under the picture's name, whatever stops the program. A large
// file is copied and compared through the LongWork port, the copy's step titled title.
bool UndoJournal::putBack(const std::string& from, const std::string& to, const std::string& title,
                          bool& created) {
  created = false;
  // The picture may still stand at its old place (its deletion failed): then it is back.
  if (fs::isRegularFile(to) && !files_.sameFile(from, to) &&
      files_.fileSize(from) == files_.fileSize(to) && sameBytes(from, to)) {
    return true;
  }
  if (files_.exists(to)) {
    reportFailure(to, EEXIST);
    return false;
  }
  const std::optional<std::string> temporary = fs::freeTemporaryName(files_, to);
  if (!temporary) {
    reportFailure(to, EEXIST);
    return false;
  }
  fs::FileResult copied;
  longSteps_.run(from, title, [&](ProgressReporter* progress) {
    copied = files_.copyNoOverwrite(from, *temporary, progress);
  });
  if (!copied.ok()) {
    reportFailure(to, copied.error);
    return false;
  }
  int error = 0;
  if (files_.fileSize(from) != files_.fileSize(*temporary) || !sameBytes(from, *temporary)) {
    error = EIO;
  } else if (const fs::FileResult renamed = files_.renameNoReplace(*temporary, to); !renamed.ok()) {
    error = renamed.error;  // a file of that name appeared meanwhile: it is never replaced
  }
  if (error != 0) {
    (void)files_.removeFile(*temporary);
    reportFailure(to, error);
    return false;
  }
  created = true;
  return true;
}

// True when a and b hold the same bytes; false also when either cannot be read.
bool UndoJournal::sameBytes(const std::string& a, const std::string& b) {
  bool same = false;
  try {
    longSteps_.run(a, "Checking...",
                   [&](ProgressReporter* progress) { same = files_.sameContent(a, b, progress); });
  } catch (const fs::FileReadError&) {
    return false;
  }
  return same;
}

void UndoJournal::undoDel(const std::string& item) {
  int n = 0;
  const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), n);
  if (ec != std::errc() || end != item.data() + item.size()) return;
  auto& images = session_.state().list.images;
  if (n < 1 || n > static_cast<int>(images.size())) return;
  std::string path;
  if (ChkDMRK(images[n - 1], path)) images[n - 1] = path;
}

void UndoJournal::reportDropped(const std::string& text) {
  session_.ui().setInfoText(text);
  session_.ui().message(Icon::Warning, text, Buttons::Ok);
}

void UndoJournal::reportFailure(const std::string& path, int error) {
  const std::string text =
      session_.state().options.japaneseMode
          ? format("元に戻せませんでした[ %s ]。エラー番号[%d]\r\n整理先のファイルは削除しません。",
                   {path, error})
          : format("Undo failed [ %s ]. Error![%d]\r\nThe sorted file is kept.", {path, error});
  session_.ui().setInfoText(text);
  session_.ui().message(Icon::Warning, text, Buttons::Ok);
}

}  // namespace sortelia
