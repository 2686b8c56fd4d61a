#include "core/sorting/comment_edit.h"

#include "core/display/image_list.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "exif/photo_info.h"
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

std::string rotationMarkOfFile(const std::string& path) {
  exif::TExifInfo info;
  info.setImageFileName(path);
  return ExtractRotationMark(storedText(info.UserComment));
}

CommentEditor::CommentEditor(SortingSession& session) : session_(session) {}

void CommentEditor::noteShownPicture(const std::string& path,
                                     const std::vector<std::string>& userComment) {
  SortingState& st = session_.state();
  st.comment.rotationMark = ExtractRotationMark(storedText(userComment));
  // The field is filled once, by DspPdata; what it holds now, as it gives it back, is the
  // "unchanged" text, so stepping past an untouched field never writes.
  st.comment.loadedText = session_.commentField().commentText();
  st.comment.path = path;
}

void CommentEditor::noteNoPicture() {
  session_.state().comment.path.clear();
  session_.state().comment.loadedText.clear();
  session_.state().comment.jpegOnlyNote = false;
  session_.commentField().setCommentFieldReadOnly(false);
  session_.commentField().setCommentFieldVisible(false);
}

void CommentEditor::noteOtherPicture() {
  SortingState& st = session_.state();
  st.comment.path.clear();
  st.comment.loadedText.clear();
  st.comment.rotationMark.clear();
  st.comment.jpegOnlyNote = true;
  CommentField& field = session_.commentField();
  field.setCommentFieldReadOnly(true);
  field.setCommentText(session_.tr(kCommentJpegOnly, kCommentJpegOnlyEnglish));
  field.setCommentFieldVisible(session_.controls().isChecked(Control::SpeedButton1));
}

void CommentEditor::entryShown(const ShownEntry& e) {
  if (!e.hasPicture()) {
    noteNoPicture();
    return;
  }
  // Comments (and rotation marks) are written into JPEG files only.
  if (!e.isJpeg) {
    noteOtherPicture();
    return;
  }
  session_.state().comment.jpegOnlyNote = false;
  session_.commentField().setCommentFieldReadOnly(false);
  // In EXIF item mode the presenter has just read this file's comment; in camera parameter
  // mode it read none, so the comment is read here.
  if (exif::isExifItemMode(session_.state().options.exifItemMask)) {
    noteShownPicture(e.path, session_.photoData().photo().ExifInfo1.UserComment);
  } else {
    exif::TExifInfo own;
    own.setImageFileName(e.path);
    noteShownPicture(e.path, own.UserComment);
  }
  CommentField& field = session_.commentField();
  if (session_.controls().isChecked(Control::SpeedButton1)) field.setCommentFieldVisible(true);
  if (field.commentFieldVisible()) field.focusCommentField();
}

void CommentEditor::SpeedButton1Click() {
  CommentField& view = session_.commentField();
  SetCmtEdit();
  if (session_.state().comment.path.empty()) {
    // On a HEIF or RAW picture the button shows or hides the note that comments go into JPEG
    // files only.
    view.setCommentFieldVisible(session_.state().comment.jpegOnlyNote &&
                                session_.controls().isChecked(Control::SpeedButton1));
    return;
  }
  const bool down = session_.controls().isChecked(Control::SpeedButton1);
  view.setCommentFieldVisible(down);
  if (!down) {
    session_.frame().setStatusAlert(false);
    return;
  }
  view.focusCommentField();
  session_.frame().setStatusAlert(true);
  session_.ui().setStatusText(kCommentEditStatus);
}

void CommentEditor::SetCmtEdit() {
  CommentField& view = session_.commentField();
  const PictureView& area = session_.pictureView();
  view.setCommentFieldRect(Rect{1, area.displayHeight() - kCommentFieldHeight,
                                area.displayWidth() - 1, kCommentFieldHeight});
  if (view.commentFieldVisible()) view.focusCommentField();
}

bool CommentEditor::RewriteCMT(int index) {
  SortingState& st = session_.state();
  if (index < 1 || index > static_cast<int>(st.list.images.size())) return false;
  const std::string path = entryPath(st.list.images[index - 1]);
  if (st.comment.path.empty() || st.comment.path != path) return false;
  const std::string field = session_.commentField().commentText();
  exif::TExifInfo info;
  info.setImageFileName(path);
  const bool textChanged = field != st.comment.loadedText;
  const bool rotationChanged =
      ExtractRotationMark(storedText(info.UserComment)) != st.comment.rotationMark;
  if (!textChanged && !rotationChanged) return false;
  if (textChanged) info.UserComment = {st.comment.rotationMark + exif::trimText(field)};
  if (rotationChanged) {
    std::string s = storedText(info.UserComment);
    ApplyRotationMark(st.comment.rotationMark, s);
    // Stored as its lines: the writer ends every line with CR LF, so s (whose lines already
    // end so) kept as one item would gain an empty line at each turn.
    info.UserComment = commentLines({s});
  }
  if (!fs::hasExtension(path, ".jpg")) return false;
  exif::WriteExif(info, path);
  st.comment.loadedText = field;  // the file holds it now: a second call writes nothing
  return true;
}

}  // namespace sortelia
