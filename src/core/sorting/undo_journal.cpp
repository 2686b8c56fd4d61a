#include "core/sorting/undo_journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

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

void UndoJournal::SetUndoCap(const std::string& text) {
  session_.controls().setCaption(Control::Undo1,
                                 format("%s ☆ %s ☆", {session_.state().undo.hint, text}));
}

void UndoJournal::Undo1Click() {
  SortingState& st = session_.state();
  if (st.undo.lines.empty()) return;
  std::vector<std::string> items = parseCommaText(st.undo.lines.back());
  items.resize(std::max<std::size_t>(items.size(), 3));
  const std::string& kind = items[0];
  {
    BusyCursor busy(session_.ui());
    if (kind == kJournalCopy) {
      undoCopy(items[1], items[2]);
    } else if (kind == kJournalMove) {
      session_.ui().setStatusText("Copying...");
      if (!fs::isRegularFile(items[2])) {
        reportDropped(movedFileGone(items[2]));
      } else {
        if (!putBack(items[2], items[1], "Copying...")) return;
        (void)files_.removeFile(items[2]);
      }
    } else if (kind == kJournalMovRS) {
      session_.ui().setStatusText("Org Copying...");
      const std::string kept = keptOriginalPath(items[2]);
      if (!fs::isRegularFile(kept)) {
        reportDropped(movedFileGone(kept));
      } else {
        if (!putBack(kept, items[1], "Org Copying...")) return;
        (void)files_.removeFile(items[2]);
        (void)files_.removeFile(kept);
      }
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
// copy is removed, the person is told, and false keeps from untouched. A large file is copied
// and compared through the LongWork port, the copy's step titled title.
bool UndoJournal::putBack(const std::string& from, const std::string& to,
                          const std::string& title) {
  // The picture may still stand at its old place (its deletion failed): then it is back.
  if (fs::isRegularFile(to) && !files_.sameFile(from, to) &&
      files_.fileSize(from) == files_.fileSize(to) && sameBytes(from, to)) {
    return true;
  }
  fs::FileResult copied;
  longSteps_.run(from, title, [&](ProgressReporter* progress) {
    copied = files_.copyNoOverwrite(from, to, progress);
  });
  if (!copied.ok()) {
    reportFailure(to, copied.error);
    return false;
  }
  const bool same = files_.fileSize(from) == files_.fileSize(to) && sameBytes(from, to);
  if (!same) {
    (void)files_.removeFile(to);
    reportFailure(to, EIO);
  }
  return same;
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
