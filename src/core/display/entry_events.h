// The "entry shown" event: the entry display announces each entry it shows to any number of
// listeners (the photo data presenter, the comment editor, the deletion marks, later viewer
// mode and the browser). Listeners hear events in the order they subscribed.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace sortelia {

// What the display has just shown.
struct ShownEntry {
  int index = 0;           // 1-based position in the image list
  std::string entry;       // the list text (with the deletion mark when marked)
  std::string path;        // the file
  bool marked = false;     // the entry carries the deletion mark
  bool isPicture = false;  // a picture file of any kind that exists (decoded or not)
  bool isJpeg = false;     // a picture that is a ".jpg" file: the only kind comments go into
  // The full size of the picture shown; 0 for a movie, a missing file or a picture that failed
  // to decode. Its pixels, when a listener needs them, come from EntryDisplay::fullPicture.
  int width = 0;
  int height = 0;
  bool hasPicture() const { return width > 0; }
};

class EntryListener {
 public:
  virtual ~EntryListener() = default;
  // Every entry, once it is on display.
  virtual void entryShown(const ShownEntry& /*e*/) {}
  // The entry about to be shown is no picture (a movie or a missing file); heard before the
  // display says so to the person.
  virtual void noPicture() {}
  // The display area changed its size (the window was resized, or framed and placed by the
  // window manager after it was first shown).
  virtual void areaResized() {}
};

// The list of listeners of one display.
class EntryEvents {
 public:
  void subscribe(EntryListener& l) { listeners_.push_back(&l); }
  void unsubscribe(EntryListener& l) { std::erase(listeners_, &l); }
  void announceShown(const ShownEntry& e) const {
    for (EntryListener* l : listeners_) l->entryShown(e);
  }
  void announceNoPicture() const {
    for (EntryListener* l : listeners_) l->noPicture();
  }
  void announceResized() const {
    for (EntryListener* l : listeners_) l->areaResized();
  }

 private:
  std::vector<EntryListener*> listeners_;
};

}  // namespace sortelia
