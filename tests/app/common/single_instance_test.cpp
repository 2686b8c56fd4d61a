#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "app/common/qt_ui.h"
#include "app/common/second_start.h"
#include "core/session/start_up.h"
#include "platform/instance_lock.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia::app {
namespace {

using testing::TempDir;

QProcess* startProgram(const TempDir& root, QObject* parent, const QStringList& args = {}) {
  auto* p = new QProcess(parent);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root.path()));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(root.path() + "/config"));
  p->setProcessEnvironment(env);
  p->start(QString(SORTELIA_BIN_DIR) + "/sortelia", args);
  return p;
}

bool waitForFile(const std::string& path, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!QFileInfo::exists(QString::fromStdString(path)) && !deadline.hasExpired()) {
    QThread::msleep(20);
  }
  return QFileInfo::exists(QString::fromStdString(path));
}

TEST(SingleInstance, SecondStartIsRefusedAndAsksTheFirstToComeToTheFront) {
  TempDir root;
  QObject owner;
  QProcess* first = startProgram(root, &owner);
  ASSERT_TRUE(first->waitForStarted(10000));
  const std::string socket = instanceSocketPath(root.path());
  ASSERT_TRUE(waitForFile(socket, 20000)) << "the first start never listened";

  // The real program, started a second time, says why it does not start and leaves the first
  // one running.
  QProcess* second = startProgram(root, &owner);
  ASSERT_TRUE(second->waitForStarted(10000));
  QDeadlineTimer deadline(20000);
  QByteArray said;
  while (!said.contains('\n') && !deadline.hasExpired()) {
    second->waitForReadyRead(100);
    said += second->readAllStandardError();
  }
  EXPECT_EQ(QString::fromUtf8(said).section(QChar('\n'), 0, 0).toStdString(),
            "ZEL は二重起動できません");
  second->kill();
  second->waitForFinished(5000);
  EXPECT_EQ(first->state(), QProcess::Running);

  // The same refusal in process: the lock is taken, the message is shown, the first instance
  // answers the request to come to the front.
  InstanceLock lock(root.path(), kInstanceName);
  EXPECT_TRUE(lock.tryAcquire().heldByAnother());
  testing::FakeUi ui;
  bool answered = false;
  refuseSecondStart(ui, [&] { return answered = askFirstInstanceToActivate(socket, 5000); });
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "ZEL は二重起動できません");
  EXPECT_EQ(ui.messages[0].icon, Icon::None);
  EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
  EXPECT_TRUE(answered);

  // Once the first instance has ended, a new start may run.
  first->kill();
  first->waitForFinished(5000);
  EXPECT_TRUE(lock.tryAcquire().acquired());
}

TEST(SingleInstance, SecondStartWithAFolderHandsItOverAndEndsWithoutTheRefusal) {
  TempDir root;
  const std::string folder = root.mkdir("pictures");
  QObject owner;
  QProcess* first = startProgram(root, &owner);
  ASSERT_TRUE(first->waitForStarted(10000));
  ASSERT_TRUE(waitForFile(instanceSocketPath(root.path()), 20000));

  QProcess* second = startProgram(root, &owner, {QString::fromStdString(folder + "/")});
  ASSERT_TRUE(second->waitForFinished(20000)) << "the second start stayed";
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_FALSE(second->readAllStandardError().contains("二重起動できません"));
  EXPECT_EQ(first->state(), QProcess::Running);
  first->kill();
  first->waitForFinished(5000);
}

// Reads the error output of p, line by line, until a line holds one of the marks or the time
// is up.
std::vector<std::string> readErrorUntil(QProcess* p, const std::vector<QString>& marks,
                                        int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  QString said;
  auto marked = [&] {  // complete lines only
    const QString complete = said.left(said.lastIndexOf('\n') + 1);
    return std::any_of(marks.begin(), marks.end(),
                       [&](const QString& m) { return complete.contains(m); });
  };
  while (!marked() && !deadline.hasExpired()) {
    p->waitForReadyRead(100);
    said += QString::fromUtf8(p->readAllStandardError());
  }
  std::vector<std::string> out;
  for (const QString& line : said.split('\n', Qt::SkipEmptyParts)) {
    out.push_back(line.toStdString());
  }
  return out;
}

TEST(SingleInstance, LockFileThatCannotBeOpenedIsReportedAndTheProgramStarts) {
  // A folder at the lock file's name: the lock cannot be opened, and no other copy runs.
  TempDir root;
  const std::string lockPath = root.mkdir("sortelia-ZEL.lock");
  QObject owner;
  QProcess* p = startProgram(root, &owner);
  ASSERT_TRUE(p->waitForStarted(10000));
  const std::vector<std::string> said =
      readErrorUntil(p, {"二重起動の確認をせずに起動します。", "二重起動できません"}, 20000);
  // The message box that follows stays up offscreen; the program is not refused.
  EXPECT_EQ(p->state(), QProcess::Running);
  p->kill();
  p->waitForFinished(5000);
  // Qt may add lines of its own; the program's two lines come together.
  const std::string failure = "ロックファイル[ " + lockPath + " ]を開けません: Is a directory";
  const auto at = std::find(said.begin(), said.end(), failure);
  ASSERT_NE(at, said.end()) << ::testing::PrintToString(said);
  ASSERT_NE(at + 1, said.end());
  EXPECT_EQ(at[1], "二重起動の確認をせずに起動します。");
  for (const std::string& line : said)
    EXPECT_EQ(line.find("二重起動できません"), std::string::npos);
}

// The decision of the start for each outcome of the lock, with the real message box.
TEST(SingleInstance, OnlyALockHeldByAnotherCopyRefusesTheStart) {
  using Outcome = LockResult::Outcome;
  const std::string path = "/run/user/0/sortelia-ZEL.lock";
  QtUi qt(nullptr, nullptr, nullptr);
  std::vector<std::string> boxes;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box || !box->isVisible()) continue;
      boxes.push_back(box->text().toStdString());
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
    }
  });
  answer.start(20);
  const struct {
    LockResult lock;
    bool starts;
    std::vector<std::string> said;  // error output, line by line; the box shows the same
    bool asksFirst;
  } cases[] = {
      {{Outcome::Acquired, 0}, true, {}, false},
      {{Outcome::HeldByAnother, 0}, false, {"ZEL は二重起動できません"}, true},
      {{Outcome::OpenFailed, EACCES},
       true,
       {"ロックファイル[ " + path + " ]を開けません: Permission denied",
        "二重起動の確認をせずに起動します。"},
       false},
      {{Outcome::OpenFailed, EROFS},
       true,
       {"ロックファイル[ " + path + " ]を開けません: Read-only file system",
        "二重起動の確認をせずに起動します。"},
       false},
      {{Outcome::LockFailed, ENOLCK},
       true,
       {"ロックファイル[ " + path + " ]をロックできません: No locks available",
        "二重起動の確認をせずに起動します。"},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.lock.outcome));
    boxes.clear();
    std::vector<std::string> said;
    bool asked = false;
    const bool starts = mayStart(
        qt, path, c.lock, [&] { return asked = true; },
        [&](const std::string& line) { said.push_back(line); });
    EXPECT_EQ(starts, c.starts);
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(asked, c.asksFirst);
    std::string shown;
    for (const std::string& line : c.said) shown += (shown.empty() ? "" : "\n") + line;
    EXPECT_EQ(boxes, c.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{shown});
  }
}

}  // namespace
}  // namespace sortelia::app
