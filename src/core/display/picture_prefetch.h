// Prefetch: while a picture is shown, the next entries in sorting order (the neighbours in
// viewer mode) are decoded on a worker, with their screen copies, so that a transfer or a step
// shows the next picture at once. The cache is charged in decoded bytes and bounded; a cached
// picture is used only while its file is unchanged (same inode, size and times), so a rebuilt
// list or a moved entry never shows a stale picture.
#pragma once

#include <sys/types.h>
#include <functional>
#include <future>
#include <map>
#include <string>

#include "core/display/entry_events.h"
#include "core/display/picture_source.h"
#include "core/ports/main_view.h"
#include "core/state/sorting_state.h"
#include "platform/progress.h"
#include "platform/worker_pool.h"

namespace sortelia {

// What identifies one version of a file: a picture decoded from another version is stale.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  long long modifiedNs = 0;
  long long changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// The stamp of path now; size -1 when it cannot be read.
FileStamp stampOf(const std::string& path);

class PicturePrefetch : public PictureSource, public EntryListener {
 public:
  // Prefetches `ahead` entries beyond the shown one, keeping at most maxBytes decoded.
  PicturePrefetch(const SortingState& state, const PictureView& area, WorkerPool& pool,
                  int ahead = 2, long long maxBytes = 128LL << 20);
  ~PicturePrefetch() override;

  PreparedPicture load(const std::string& path, int areaWidth, int areaHeight) override;
  void entryShown(const ShownEntry& e) override;
  void areaResized() override;

  // Forgets every prepared picture and cancels the work under way (a rebuilt list).
  void clear();
  // How far the display will turn the picture at path (0, 90, 180 or 270 degrees, its
  // rotation mark): such a picture is prepared turned, so that it too shows at once. Called on
  // the worker: it may only read the file.
  void setTurnOf(std::function<int(const std::string& path)> turnOf) {
    clear();
    turnOf_ = std::move(turnOf);
  }
  // Decoded bytes held now, and the most held at once since the start.
  long long bytesHeld() const;
  long long peakBytes() const { return peak_; }
  // Pictures taken from the cache / decoded on the spot since the start.
  int hits() const { return hits_; }
  int misses() const { return misses_; }

 private:
  struct Job {
    FileStamp stamp;
    int areaWidth = 0;
    int areaHeight = 0;
    CancelToken cancel;
    std::shared_future<PreparedPicture> result;
  };
  static long long bytesOf(const PreparedPicture& p);
  void schedule(const std::string& path);
  std::vector<std::string> nextPaths(int index) const;

  const SortingState& state_;
  const PictureView& area_;
  WorkerPool& pool_;
  int ahead_;
  long long maxBytes_;
  std::map<std::string, Job> jobs_;
  int shownIndex_ = 0;  // the entry last shown, whose next pictures are prepared
  long long peak_ = 0;
  std::function<int(const std::string& path)> turnOf_;
  int hits_ = 0;
  int misses_ = 0;
};

}  // namespace sortelia
