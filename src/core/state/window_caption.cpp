#include "core/state/window_caption.h"

#include "platform/format.h"

namespace sortelia {

std::string windowCaption(const SortingState& state, bool slideShowOn) {
  const bool jp = state.options.japaneseMode;
  const char* mode = nullptr;
  if (!state.list.viewerMode) {
    mode = state.options.keepOriginal ? (jp ? "整理中[複写]" : "Dividing-COPY")
                                      : (jp ? "整理中[移動]" : "Dividing-MOVE");
  } else if (!slideShowOn) {
    mode = jp ? "閲覧" : "View";
  } else {
    mode = state.options.loopSlideShow ? (jp ? "自動連続表示[繰返]" : "SlideShow-LOOP")
                                       : (jp ? "自動連続表示[片道]" : "SlideShow-OneWay");
  }
  return format("%s [ %s ] < %s >", {kProductTitle, state.list.sourceDir, mode});
}

}  // namespace sortelia
