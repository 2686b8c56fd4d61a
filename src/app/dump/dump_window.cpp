#include "app/dump/dump_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QTextBlock>
#include <QVBoxLayout>

namespace sortelia::app {
namespace {

// The fixed-pitch design font "ＭＳ ゴシック", 13 pixels high, as its counterpart IPAGothic.
QFont dumpFont() {
  QFont f("IPAGothic");
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  f.setPixelSize(13);
  return f;
}

// Characters from one line of a view to the next: the line and its one line break.
constexpr int kViewStride = outputs::kDumpLineChars + 1;

}  // namespace

DumpWindow::DumpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("Form5");
  setWindowTitle("Dump List");
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->setObjectName("Splitter1");
  splitter->addWidget(buildPane(1));
  splitter->addWidget(buildPane(2));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  resize(620, 600);
}

QWidget* DumpWindow::buildPane(int pane) {
  const std::size_t i = index(pane);
  auto* box = new QWidget;
  auto* col = new QVBoxLayout(box);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);

  // The caption panel: the path, and the buttons at its right end.
  auto* cap = new QWidget;
  cap->setObjectName(pane == 1 ? "dmpcap" : "dmpcap2");
  cap->setAutoFillBackground(true);
  auto* row = new QHBoxLayout(cap);
  row->setContentsMargins(4, 2, 2, 2);
  row->setSpacing(0);
  paths_[i] = new QLabel;
  paths_[i]->setObjectName(pane == 1 ? "dmpcapPath" : "dmpcap2Path");
  paths_[i]->setAccessibleName(pane == 1 ? "dmpcap" : "dmpcap2");
  paths_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(paths_[i], 1);
  if (pane == 1) {
    chk_ = new QPushButton("Chk");
    chk_->setObjectName("ChkButton");
    chk_->setToolTip("ダンプリストの比較をする");
    row->addWidget(chk_);
    connect(chk_, &QPushButton::clicked, this, [this] {
      if (onChk) onChk();
    });
  }
  open_[i] = new QPushButton("Pic.Open");
  open_[i]->setObjectName(pane == 1 ? "PicOpen1" : "PicOpen2");
  edit_[i] = new QPushButton("Edit");
  edit_[i]->setObjectName(pane == 1 ? "Edit1" : "Edit2");
  edit_[i]->setToolTip("パラメータファイルを編集する");
  row->addWidget(open_[i]);
  row->addWidget(edit_[i]);
  connect(open_[i], &QPushButton::clicked, this, [this, pane] {
    if (onOpen) onOpen(pane);
  });
  connect(edit_[i], &QPushButton::clicked, this, [this] {
    if (onEdit) onEdit();
  });
  col->addWidget(cap);

  auto* header = new QLabel(QString::fromUtf8(outputs::kDumpColumnHeader));
  header->setObjectName(pane == 1 ? "Header1" : "Header2");
  header->setFont(dumpFont());
  header->setContentsMargins(4, 1, 0, 1);
  col->addWidget(header);

  views_[i] = new QTextEdit;
  views_[i]->setObjectName(pane == 1 ? "RichEdit1" : "RichEdit2");
  views_[i]->setAccessibleName(pane == 1 ? "RichEdit1" : "RichEdit2");
  views_[i]->setReadOnly(true);
  views_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  views_[i]->setLineWrapMode(QTextEdit::NoWrap);
  views_[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  views_[i]->setFont(dumpFont());
  views_[i]->viewport()->installEventFilter(this);
  col->addWidget(views_[i], 1);
  return box;
}

void DumpWindow::setPanePath(int pane, const std::string& path) {
  paths_[index(pane)]->setText(QString::fromStdString(path));
}

void DumpWindow::setPaneLines(int pane, const std::vector<std::string>& lines) {
  QTextEdit* v = views_[index(pane)];
  v->setUpdatesEnabled(false);
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  v->setPlainText(text.join('\n'));
  v->setUpdatesEnabled(true);
}

void DumpWindow::resetColours() {
  for (QTextEdit* v : views_) {
    QTextCursor c(v->document());
    c.select(QTextCursor::Document);
    QTextCharFormat f;
    f.setForeground(palette().color(QPalette::WindowText));
    c.mergeCharFormat(f);
  }
}

void DumpWindow::colourMarks(const std::vector<outputs::DumpMark>& marks) {
  QTextCharFormat red;
  red.setForeground(Qt::red);
  for (QTextEdit* v : views_) {
    QTextDocument* doc = v->document();
    for (const outputs::DumpMark& m : marks) {
      const QTextBlock block = doc->findBlockByNumber(m.row);
      if (!block.isValid() || m.column + m.length > block.length()) continue;
      QTextCursor c(doc);
      c.setPosition(block.position() + m.column);
      c.setPosition(block.position() + m.column + m.length, QTextCursor::KeepAnchor);
      c.mergeCharFormat(red);
    }
  }
}

void DumpWindow::pointAt(QTextEdit* view) {
  const auto selection = outputs::hexPairAtCaret(view->textCursor().position(), kViewStride);
  if (selection) {
    QTextCursor c = view->textCursor();
    c.setPosition(selection->start);
    c.setPosition(selection->start + selection->length, QTextCursor::KeepAnchor);
    view->setTextCursor(c);
  }
  if (onDumpClicked) onDumpClicked();
}

bool DumpWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease) {
    for (QTextEdit* v : views_) {
      if (watched == v->viewport()) {
        // After the view has placed its caret for this release.
        const bool handled = QDialog::eventFilter(watched, e);
        QMetaObject::invokeMethod(
            this, [this, v] { pointAt(v); }, Qt::QueuedConnection);
        return handled;
      }
    }
  }
  return QDialog::eventFilter(watched, e);
}

}  // namespace sortelia::app
