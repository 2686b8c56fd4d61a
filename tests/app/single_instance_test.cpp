#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include "app/common/second_start.h"
#include "core/session/start_up.h"
#include "platform/instance_lock.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia::app {
namespace {

using testing::TempDir;

QProcess* startProgram(const TempDir& root, QObject* parent) {
  auto* p = new QProcess(parent);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root.path()));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(root.path() + "/config"));
  p->setProcessEnvironment(env);
  p->start(QString(SORTELIA_BIN_DIR) + "/sortelia", {});
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
  EXPECT_FALSE(lock.tryAcquire());
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
  EXPECT_TRUE(lock.tryAcquire());
}

}  // namespace
}  // namespace sortelia::app
