#pragma once

class QPushButton;
class QWidget;

namespace form1 {

// Gives the window the design's caption and size and makes its controls: their names, places,
// fonts, accessible names and Tab order, the first in that order with the focus. The program's
// window and the bench's floor of the same form are both built by it. Returns the set button.
QPushButton* makeControls(QWidget& window);

}  // namespace form1
