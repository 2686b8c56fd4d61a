#include <gtest/gtest.h>
#include <QThread>
#include <thread>

#include "app/common/qt_timer.h"
#include "app/qt_wait.h"

namespace sortelia::app {
namespace {

TEST(QtPorts, TaskPostedFromAWorkerRunsOnTheGuiThreadInOrder) {
  QtTaskPoster poster;
  std::vector<int> ran;
  bool onGuiThread = true;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      poster.post([&, i] {
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        ran.push_back(i);
      });
    }
  });
  worker.join();
  EXPECT_TRUE(ran.empty());  // nothing runs before the event loop turns
  ASSERT_TRUE(waitFor([&] { return ran.size() == 3; }));
  EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(onGuiThread);
}

TEST(QtPorts, TimerTicksUntilStoppedAndARestartReplacesTheTick) {
  QtTimer timer;
  int a = 0, b = 0;
  timer.start(1, [&] { ++a; });
  ASSERT_TRUE(waitFor([&] { return a >= 2; }));
  timer.start(1, [&] { ++b; });
  const int aAtRestart = a;
  ASSERT_TRUE(waitFor([&] { return b >= 2; }));
  EXPECT_EQ(a, aAtRestart);
  timer.stop();
  EXPECT_FALSE(timer.isActive());
}

}  // namespace
}  // namespace sortelia::app
