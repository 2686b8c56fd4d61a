#include "core/sorting/comment_edit.h"

#include "core/display/image_list.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "exif/rotation_mark.h"
#include "platform/path.h"

namespace sortelia {
namespace {

// The comment as a list of lines: every item split at CR LF, CR or LF, a line break at the
// end of an item closing its last line rather than opening an empty one.
std::vector<std::string> commentLines(const std::vector<std::string>& items) {
  std::vector<std::string> lines;
  for (const auto& item : items) {
    std::size_t start = 0;
    while (start < item.size()) {
      const std::size_t end = item.find_first_of("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back(item.substr(start));
        break;
      }
      lines.push_back(item.substr(start, end - start));
      start = end + ((item[end] == '\r' && end + 1 < item.size() && item[end + 1] == '\n') ? 2 : 1);
    }
    if (item.empty()) lines.emplace_back();
  }
  return lines;
}

// The comment's lines joined, each followed by CR LF.
std::string storedText(const std::vector<std::string>& items) {
  std::string s;
  for (const auto& line : commentLines(items)) s += line + "\r\n";
  return s;
}

}  // namespace

std::string commentFieldText(const std::vector<std::string>& userComment) {
  const std::vector<std::string> lines = commentLines(userComment);
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += "\r\n";
    joined += lines[i];
  }
  std::string text = exif::trimText(joined);
  if (!ExtractRotationMark(text).empty()) ApplyRotationMark("", text);
  return text;
}

CommentEditor::CommentEditor(SortingSession& session) : session_(session) {}

void CommentEditor::noteShownPicture(const std::string& path,
                                     const std::vector<std::string>& userComment) {
  SortingState& st = session_.state();
  MainView& view = session_.view();
  st.comment.rotationMark = ExtractRotationMark(storedText(userComment));
  view.setCommentText(commentFieldText(userComment));
  // What the field holds now, as the field gives it back, is the "unchanged" text.
  st.comment.loadedText = view.commentText();
  st.comment.path = path;
}

void CommentEditor::noteNoPicture() {
  session_.state().comment.path.clear();
  session_.state().comment.loadedText.clear();
  session_.view().setCommentFieldVisible(false);
}

void CommentEditor::SpeedButton1Click() {
  MainView& view = session_.view();
  SetCmtEdit();
  if (session_.state().comment.path.empty()) {
    view.setCommentFieldVisible(false);
    return;
  }
  const bool down = view.isChecked("SpeedButton1");
  view.setCommentFieldVisible(down);
  if (!down) {
    view.setStatusAlert(false);
    return;
  }
  view.focusCommentField();
  view.setStatusAlert(true);
  session_.ui().setStatusText(kCommentEditStatus);
}

void CommentEditor::SetCmtEdit() {
  MainView& view = session_.view();
  view.setCommentFieldRect(Rect{1, view.displayHeight() - kCommentFieldHeight,
                                view.displayWidth() - 1, kCommentFieldHeight});
  if (view.commentFieldVisible()) view.focusCommentField();
}

bool CommentEditor::RewriteCMT(int index) {
  SortingState& st = session_.state();
  if (index < 1 || index > static_cast<int>(st.list.images.size())) return false;
  const std::string path = entryPath(st.list.images[index - 1]);
  if (st.comment.path.empty() || st.comment.path != path) return false;
  const std::string field = session_.view().commentText();
  exif::TExifInfo info;
  info.setImageFileName(path);
  const bool textChanged = field != st.comment.loadedText;
  const bool rotationChanged = ExtractRotationMark(storedText(info.UserComment)) != st.comment.rotationMark;
  if (!textChanged && !rotationChanged) return false;
  if (textChanged) info.UserComment = {st.comment.rotationMark + exif::trimText(field)};
  if (rotationChanged) {
    std::string s = storedText(info.UserComment);
    ApplyRotationMark(st.comment.rotationMark, s);
    info.UserComment = {s};
  }
  if (!fs::hasExtension(path, ".jpg")) return false;
  exif::WriteExif(info, path);
  st.comment.loadedText = field;  // the file holds it now: a second call writes nothing
  return true;
}

}  // namespace sortelia
