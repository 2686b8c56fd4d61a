// The main window's shortcuts over the keys a text field keeps for itself.
#pragma once

class QWidget;

namespace sortelia::app {

// Lets the shortcuts of field's window win over the keys the field would take for its own
// editing: Ctrl+Z pressed in the comment field or a spin box runs the window's Undo, not the
// field's text undo. For the main window's line edits and spin boxes.
void letWindowShortcutsFirst(QWidget* field);

}  // namespace sortelia::app
