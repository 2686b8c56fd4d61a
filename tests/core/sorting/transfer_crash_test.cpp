// Crash safety of the transfer queue: a child process runs a queue of moves and is killed
// (SIGKILL, as a power cut ends a program) at a random moment, over and over. After each kill
// every picture is whole in its source or in its destination or both, no file of the person's
// name in a destination differs from its picture, and what is left over is only copy
// temporaries, which the next start removes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "core/sorting/transfer_queue.h"
#include "platform/file_ops.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::readAll;

constexpr int kPictures = 6;

std::string pictureBytes(int i) {
  std::string bytes(512 * 1024, '\0');
  std::mt19937 fill(static_cast<unsigned>(i));
  for (char& c : bytes) c = static_cast<char>(fill());
  return bytes;
}

// A destination on another disk as far as the step can tell: every move copies, verifies and
// deletes, the longest way with the most moments to be cut short in.
class CopyingFileOperations : public fs::FileOperations {
 public:
  bool sameFileSystem(const std::string&, const std::string&) override { return false; }
};

// Runs the whole queue of moves in this (child) process and ends it.
[[noreturn]] void runQueueAndExit(const std::string& src, const std::string& dst) {
  struct InlinePoster : TaskPoster {
    void post(std::function<void()>) override {}
  } poster;
  CopyingFileOperations files;
  {
    TransferQueue queue(files, poster, [] {});
    for (int i = 1; i <= kPictures; ++i) {
      const std::string name = "P" + std::to_string(i) + ".JPG";
      QueuedStep step;
      step.index = i;
      step.files = {{src + "/" + name, dst + "/" + name, "", false}};
      step.move = true;
      queue.push(std::move(step));
    }
    queue.waitUntilIdle();
  }
  _exit(0);
}

TEST(TransferCrash, AKillAtAnyMomentLeavesEveryPictureWholeSomewhere) {
  std::vector<std::string> bytes;
  for (int i = 1; i <= kPictures; ++i) bytes.push_back(pictureBytes(i));
  std::mt19937 random(20261209);
  // The first run is not killed: it measures how long a whole run takes.
  std::chrono::microseconds whole{0};
  int leftoversSeen = 0, halfDone = 0;
  for (int run = 0; run <= 200; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    testing::TempDir root;
    const std::string src = root.mkdir("src");
    const std::string dst = root.mkdir("dst");
    for (int i = 1; i <= kPictures; ++i) {
      root.write("src/P" + std::to_string(i) + ".JPG", bytes[i - 1]);
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) runQueueAndExit(src, dst);
    if (run > 0) {
      std::uniform_int_distribution<long> at(0, whole.count());
      std::this_thread::sleep_for(std::chrono::microseconds(at(random)));
      ::kill(child, SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (run == 0) {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      whole = std::chrono::duration_cast<std::chrono::microseconds>(
          std::chrono::steady_clock::now() - started);
    }

    int moved = 0;
    for (int i = 1; i <= kPictures; ++i) {
      const std::string name = "P" + std::to_string(i) + ".JPG";
      const bool inSource = fs::exists(src + "/" + name);
      const bool inDestination = fs::exists(dst + "/" + name);
      if (inSource) {
        EXPECT_EQ(readAll(src + "/" + name), bytes[i - 1]) << name;
      }
      if (inDestination) {
        EXPECT_EQ(readAll(dst + "/" + name), bytes[i - 1]) << name;
      }
      EXPECT_TRUE(inSource || inDestination) << name << " is nowhere";
      moved += inDestination && !inSource;
    }
    if (moved > 0 && moved < kPictures) ++halfDone;
    for (const auto& e : std::filesystem::directory_iterator(dst)) {
      const std::string name = e.path().filename().string();
      if (fs::isCopyTemporary(name)) {
        ++leftoversSeen;
        continue;
      }
      EXPECT_EQ(name.substr(0, 1), "P") << "unexpected file " << name;
    }
    fs::removeCopyTemporaries(dst);
    for (const auto& e : std::filesystem::directory_iterator(dst)) {
      EXPECT_FALSE(fs::isCopyTemporary(e.path().filename().string()));
    }
    if (run == 0) {
      EXPECT_EQ(moved, kPictures) << "the run that was not killed moved everything";
    }
  }
  // The kills landed inside runs, not only before or after them.
  EXPECT_GT(halfDone, 20);
  RecordProperty("leftover temporaries", leftoversSeen);
}

}  // namespace
}  // namespace sortelia
