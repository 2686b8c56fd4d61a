#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>

#include "app/common/qt_ui.h"
#include "app/info/info_window.h"
#include "support/temp_dir.h"

namespace sortelia::app {
namespace {

using testing::TempDir;

// Presses the dialog's accept once it is up, as a person pressing Enter would; a second
// look rejects whatever is still open (a refused name, a question), so a test never hangs.
// Records the message boxes seen on the way.
class DialogDriver : public QObject {
 public:
  DialogDriver() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
          boxes.push_back(box->text().toStdString());
          stayOnTop = stayOnTop && box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
          box->reject();
        } else if (auto* d = qobject_cast<QFileDialog*>(w)) {
          if (accepted_) {
            d->reject();
          } else {
            accepted_ = true;
            QMetaObject::invokeMethod(d, "accept");
          }
        }
      }
    });
    timer_.start(20);
  }
  std::vector<std::string> boxes;
  bool stayOnTop = true;

 private:
  QTimer timer_;
  bool accepted_ = false;
};

// The queue's news waits while a modal window is open: the real one says so for a window of
// the program shown modally and for a message box, and not once they are closed.
TEST(QtUi, KnowsWhenAModalWindowIsOpen) {
  QtUi ui(nullptr, nullptr, nullptr);
  EXPECT_FALSE(ui.modalWindowOpen());
  QDialog options;
  bool seenInDialog = false, seenInBox = false;
  QTimer::singleShot(0, &options, [&] {
    seenInDialog = ui.modalWindowOpen();
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
          seenInBox = ui.modalWindowOpen();
          box->accept();
        }
      }
    });
    ui.message(Icon::Error, "Error![28]", Buttons::Ok);
    options.accept();
  });
  options.exec();
  EXPECT_TRUE(seenInDialog);
  EXPECT_TRUE(seenInBox);
  EXPECT_FALSE(ui.modalWindowOpen());
}

TEST(QtUi, OpenDialogTakesANameInANewEmptyFolder) {
  TempDir root;
  const std::string empty = root.mkdir("new folder");
  QtUi ui(nullptr, nullptr, nullptr);
  FileDialog d;
  d.title = d.fileName = "フォトデータの移動先フォルダを開く";
  d.initialDir = empty;
  d.filter = "すべてのファイル (*.*)|*.*";
  d.anyName = true;
  DialogDriver driver;
  const auto chosen = ui.openFile(d);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, empty + "/フォトデータの移動先フォルダを開く");
  EXPECT_TRUE(driver.boxes.empty());
}

TEST(QtUi, SaveDialogLeavesTheExistingNameQuestionToTheProgram) {
  TempDir root;
  const std::string taken = root.write("IMG_1.jpg", "x");
  QtUi ui(nullptr, nullptr, nullptr);
  FileDialog d;
  d.title = "別の名前で保存する";
  d.fileName = "IMG_1.jpg";
  d.initialDir = root.path();
  DialogDriver driver;
  const auto chosen = ui.saveFile(d);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, taken);
  EXPECT_TRUE(driver.boxes.empty()) << driver.boxes.front();  // no "Replace?" from Qt
}

TEST(QtUi, MessageBoxesStayAboveTheInformationWindow) {
  InfoWindow info;
  info.show();
  ASSERT_TRUE(info.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QtUi ui(nullptr, nullptr, &info);
  DialogDriver driver;
  ui.message(Icon::Question, "削除写真データファイル(1個)があります。本当に削除しますか？",
             Buttons::YesNo);
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_TRUE(driver.stayOnTop);
}

// Fault: the port mapped Yes, No and Cancel but not OK, so the OK of an OK/Cancel question was
// read as Cancel and both exports of the options window never ran. Every button of every
// button set, pressed on the real message box, gives its own answer.
TEST(QtUi, EachButtonOfEachButtonSetGivesItsAnswer) {
  struct Case {
    Buttons buttons;
    QMessageBox::StandardButton press;
    Answer expected;
  };
  const Case cases[] = {
      {Buttons::Ok, QMessageBox::Ok, Answer::Ok},
      {Buttons::OkCancel, QMessageBox::Ok, Answer::Ok},
      {Buttons::OkCancel, QMessageBox::Cancel, Answer::Cancel},
      {Buttons::YesNo, QMessageBox::Yes, Answer::Yes},
      {Buttons::YesNo, QMessageBox::No, Answer::No},
  };
  for (const Case& c : cases) {
    QtUi ui(nullptr, nullptr, nullptr);
    int pressed = 0;
    QStringList offered;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      for (QAbstractButton* b : box->buttons()) offered << b->text();
      if (QAbstractButton* b = box->button(c.press)) {
        ++pressed;
        b->click();
      } else {
        box->reject();
      }
    });
    timer.start(20);
    const Answer answer = ui.message(Icon::Question, "質問", c.buttons);
    EXPECT_EQ(pressed, 1) << offered.join(',').toStdString();
    EXPECT_EQ(answer, c.expected) << "button set " << static_cast<int>(c.buttons) << ", pressed "
                                  << c.press;
  }
}

// Fault: a message box took its text for rich text when its first line held something like a
// tag, as a picture's comment "<b>旅行</b>" does in the browser's photo information: the box
// then ran every line of the information into one. Texts of the program are shown as written.
TEST(QtUi, AMessageIsShownAsWrittenWhateverItsFirstLineHolds) {
  const std::string lines[] = {"01:標題 ---------------> <b>旅行</b>",
                               "03:メーカー ------------> FUJIFILM",
                               "99:サイズ ------------> 12 KB"};
  const std::string text = lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2];
  QtUi ui(nullptr, nullptr, nullptr);
  QString shown;
  int shownLines = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    if (label) {
      QTextDocument doc;
      if (label->textFormat() == Qt::PlainText ||
          (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()))) {
        doc.setPlainText(label->text());
      } else {
        doc.setHtml(label->text());
      }
      shown = doc.toPlainText();
      shownLines = doc.blockCount();
    }
    box->accept();
  });
  timer.start(20);
  ui.message(Icon::Information, text, Buttons::Ok);
  EXPECT_EQ(shownLines, 3);
  EXPECT_EQ(shown.toStdString(), lines[0] + "\n" + lines[1] + "\n" + lines[2]);
}

}  // namespace
}  // namespace sortelia::app
