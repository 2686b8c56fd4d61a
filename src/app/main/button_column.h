// The finishing touches of the main window's button column (Panel2), kept apart from the
// window's construction.
#pragma once

class QWidget;

namespace sortelia::app {

// Every button of the column takes the focus by Tab only (a click leaves it where it was), and
// a check box's caption starts 2 pixels after its indicator, so that the longest captions
// ("Photo Info.", "Slide Show") fit the 79 pixels inside the 85-pixel column.
void finishButtonColumn(QWidget* column);

}  // namespace sortelia::app
