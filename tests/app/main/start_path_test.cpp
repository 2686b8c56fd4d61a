// The folder or file of a start, opened by the running window, and the requests of later
// starts over the local socket.
#include <gtest/gtest.h>
#include <QLocalSocket>
#include <QMessageBox>

#include <future>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/application.h"
#include "app/common/second_start.h"
#include "app/message_answerer.h"
#include "app/qt_wait.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::app {
namespace {

using testing::TempDir;

// A saved source folder "saved" with one picture and a folder "other" with three.
class StartPathWindow : public ::testing::Test {
 protected:
  StartPathWindow()
      : data(root.mkdir("data")), saved(root.mkdir("saved")), other(root.mkdir("other")) {
    const std::string jpeg = testing::makeTestJpeg(64, 48);
    root.write("saved/s.jpg", jpeg);
    for (const char* n : {"x.jpg", "y.jpg", "z.jpg"}) root.write(std::string("other/") + n, jpeg);
    EXPECT_TRUE(writeTextLines(data + "/zel.ini", settingsLines({}, saved + "/")).ok());
  }
  bool showsFolder(Application& app, const std::string& folder) {
    return app.state().list.sourceDir == folder + "/" && !app.state().firstActivation;
  }

  TempDir root;
  std::string data, saved, other;
};

TEST_F(StartPathWindow, AFileGivenAtTheStartIsShownInItsFolderAndSavedAtClose) {
  Application app(data);
  MainWindow& w = app.mainWindow();
  app.openStartPath("../other/y.jpg", saved);  // relative to the working folder of the start
  w.show();
  ASSERT_TRUE(waitFor([&] { return showsFolder(app, other); }));
  EXPECT_EQ(w.windowTitle().toStdString(),
            "Sortelia for Windows [ " + other + "/ ] < 整理中[移動] >");
  EXPECT_EQ(w.statusText().toStdString(), other + "/y.jpg [ 2 / 3 files ]");
  EXPECT_EQ(app.state().list.sortIndex, 2);
  w.close();
  EXPECT_EQ((*readTextLines(data + "/zel.ini"))[12], other + "/");
}

TEST_F(StartPathWindow, AMissingPathIsToldAndTheSavedFolderStays) {
  Application app(data);
  MainWindow& w = app.mainWindow();
  app.openStartPath(root.path() + "/gone", "/");
  MessageAnswerer answerer(false);
  const std::vector<std::string>& boxes = answerer.texts;
  w.show();
  ASSERT_TRUE(waitFor([&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes, std::vector<std::string>{
                       "指定されたフォルダ・ファイルを開けません: No such file or directory\n"
                       "別のフォルダを後から指定しましょう！\n  名前[ " +
                       root.path() + "/gone ]"});
  EXPECT_EQ(app.state().list.sourceDir, saved + "/");
  EXPECT_EQ(w.statusText().toStdString(), saved + "/s.jpg [ 1 / 1 files ]");
}

TEST_F(StartPathWindow, APathHandedOverWaitsForAnOpenQuestionThenOpens) {
  Application app(data);
  MainWindow& w = app.mainWindow();
  const std::string socket = root.path() + "/s.socket";
  ASSERT_TRUE(app.listenForSecondStart(socket));
  w.show();
  ASSERT_TRUE(waitFor([&] { return showsFolder(app, saved); }));

  // A question is up in the running window: the list does not change under it.
  QMessageBox question(QMessageBox::Question, "", "?", QMessageBox::Yes | QMessageBox::No, &w);
  question.setWindowModality(Qt::ApplicationModal);
  question.show();
  auto handed = std::async(std::launch::async,
                           [&] { return handStartPathToFirstInstance(socket, other, 5000); });
  ASSERT_TRUE(waitFor(
      [&] { return handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_TRUE(handed.get());
  EXPECT_FALSE(waitFor([&] { return showsFolder(app, other); }, 600));
  question.close();
  ASSERT_TRUE(waitFor([&] { return showsFolder(app, other); }));
  EXPECT_EQ(w.statusText().toStdString(), other + "/x.jpg [ 1 / 3 files ]");
}

// One request on a fresh connection: the answer line, or "" when the listener dropped it.
std::string answerTo(const std::string& socket, const QByteArray& bytes) {
  QLocalSocket peer;
  peer.connectToServer(QString::fromStdString(socket));
  if (!waitFor([&] { return peer.state() == QLocalSocket::ConnectedState; }))
    return "no connection";
  peer.write(bytes);
  waitFor([&] { return peer.canReadLine() || peer.state() == QLocalSocket::UnconnectedState; });
  return peer.canReadLine() ? peer.readLine().trimmed().toStdString() : "";
}

TEST(SecondStartListener, AnswersWellFormedRequestsAndRefusesGarbage) {
  TempDir root;
  const std::string socket = root.path() + "/s.socket";
  SecondStartListener listener;
  int activations = 0;
  std::vector<std::string> opened;
  listener.onActivate = [&] { ++activations; };
  listener.onOpen = [&](const std::string& path) { opened.push_back(path); };
  ASSERT_TRUE(listener.listen(socket));

  const struct {
    QByteArray request;
    std::string answer;
    std::string opened;  // "" when nothing is opened
  } cases[] = {
      {"open /p/%E5%86%99%E7%9C%9F/a%20b%0A.jpg\n", "ok", "/p/写真/a b\n.jpg"},
      {"open /plain path\r\n", "ok", "/plain path"},
      {"open relative/x\n", "error", ""},
      {"open \n", "error", ""},
      {"open /a%00b\n", "error", ""},
      {"open /bad-%FF%FE-utf8\n", "error", ""},
      {"OPEN /p\n", "error", ""},
      {"\n", "error", ""},
      {QByteArray(100, '\x01') + "\n", "error", ""},
      {QByteArray(kMaxStartRequest + 10, 'a'), "", ""},               // no line end: dropped
      {"open /" + QByteArray(kMaxStartRequest, 'b') + "\n", "", ""},  // too long: dropped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request.left(40).toStdString());
    opened.clear();
    EXPECT_EQ(answerTo(socket, c.request), c.answer);
    waitFor([] { return false; }, 30);  // the callback runs after the answer
    EXPECT_EQ(opened,
              c.opened.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.opened});
  }
  EXPECT_EQ(activations, 0);
  EXPECT_EQ(answerTo(socket, "activate\n"), "ok");
  waitFor([&] { return activations == 1; });
  EXPECT_EQ(activations, 1);

  // The client end encodes what the listener decodes, from another thread as a second start.
  opened.clear();
  auto handed = std::async(std::launch::async, [&] {
    return handStartPathToFirstInstance(socket, "/p/100% sure/\n?#.jpg", 5000);
  });
  ASSERT_TRUE(waitFor([&] { return !opened.empty(); }));
  EXPECT_TRUE(handed.get());
  EXPECT_EQ(opened, std::vector<std::string>{"/p/100% sure/\n?#.jpg"});
}

}  // namespace
}  // namespace sortelia::app
