// The program's window font.
#pragma once

#include <QApplication>
#include <QFont>

namespace sortelia::app {

// The design font "ＭＳ Ｐゴシック", 12 pixels, as its Linux counterpart IPAPGothic.
inline void applyDesignFont() {
  QFont font("IPAPGothic");
  font.setPixelSize(12);
  QApplication::setFont(font);
}

}  // namespace sortelia::app
