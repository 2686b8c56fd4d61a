// The batch run of the reduced-size save window: every picture of the image list reduced into
// an output folder inside the source folder, and the two album pages written from their
// templates in the same run. The pictures are reduced on a pool of workers while the pages
// are written in list order on the calling thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exif/camera_params.h"
#include "outputs/reduce_pipeline.h"
#include "platform/batch_report.h"
#include "platform/progress.h"

namespace sortelia::outputs::album {

// One entry of the image list, resolved by the caller.
struct AlbumEntry {
  std::string path;     // the file, without any list mark
  bool marked = false;  // marked for deletion: skipped without a number
};

// Everything a run needs, as plain values.
struct AlbumJob {
  std::string sourceDir;            // the source folder, ending with "/"
  std::vector<AlbumEntry> entries;  // the image list, in list order
  ReduceSize size;                  // the size fields (width, height)
  int level = 8;                    // quality level 1..10
  ReduceOptions options;            // effects of the window; addExif as the window passes it
  int columns = 1;                  // grid cells per row (albumColumns)
  std::string templateFolder;       // folder of "zel-html1.txt" and "zel-html2.txt"
  std::string itemMask;             // the display item mask for the photo information text
  exif::CameraParamSet cameraSet;   // the camera parameter set of camera parameter mode
  std::string title;                // [*TTL*]; empty: albumTitle of the current time
  int threads = 0;                  // reduction workers; 0: one per processor
};

// How the run shows its progress; both are called on the calling thread, in list order.
struct AlbumCallbacks {
  // Label3's text: "<path>\r\n[i/count]" when entry i (not marked) comes up; "" when its file
  // is missing and at the end of the run.
  std::function<void(const std::string& text)> label;
  // ProgressBar1: position i of count after entry i (marked and missing entries included).
  // A stop asked here (through the run's CancelToken) ends the run after this entry and the
  // pictures being reduced at that moment.
  std::function<void(int position, int count)> step;
};

// The output folder and the two pages of a run.
struct AlbumPaths {
  std::string folder;  // sourceDir + "0_Box<w>x<h>-<level>/"
  std::string page1;   // folder + <last component of sourceDir> + "_1.html"
  std::string page2;   // folder + <last component of sourceDir> + "_2.html"
};

// The paths of a run for sourceDir (ending with "/"); no file-system access.
AlbumPaths albumPaths(const std::string& sourceDir, ReduceSize size, int level);

// MakeOutputFolder: creates sourceDir + "0_Box<w>x<h>-<level>" when it is not a folder yet
// and returns it with a trailing "/". Throws AlbumError "Cannot create<path>" when that fails.
std::string MakeOutputFolder(const std::string& sourceDir, ReduceSize size, int level);

enum class EntryOutcome {
  NotReached,  // after a stop
  Marked,      // deletion mark: skipped, no number
  Missing,     // no file at the path: skipped, no number
  Listed,      // a movie: rows written, not reduced
  Reduced,     // rows written and the reduced picture written
  Failed,      // rows written, the reduction failed (see error)
};

struct AlbumEntryResult {
  EntryOutcome outcome = EntryOutcome::NotReached;
  int number = 0;       // running number on the pages; 0 when the entry has no rows
  std::string reduced;  // the reduced picture's path (Reduced, Failed)
  std::string error;    // why the reduction failed (Failed)
};

struct AlbumResult {
  AlbumPaths paths;
  std::vector<AlbumEntryResult> entries;  // one per job entry, in list order
  BatchReport report;  // done: entries with rows; failed: failed reductions; stopped
};

// Button4Click's work: makes the output folder, reads both templates, writes both fronts,
// then for each entry in list order its row on page 1 and its cell on page 2 (the grid rule
// of gridCell) and, for a ".jpg" file, the reduced picture (FToFJpgStrch). Movies are listed
// but not reduced; a picture that cannot be reduced keeps its rows and is reported in the
// result while the others go on. The backs are written at the end, also after a stop.
// Throws AlbumError when the output folder cannot be made or a template read (before any page
// is written), or when a page cannot be written (the run then ends there).
AlbumResult runAlbum(const AlbumJob& job, const AlbumCallbacks& callbacks,
                     const CancelToken& cancel);

}  // namespace sortelia::outputs::album
