#pragma once
class QWidget;

// Shows the window in its normal state (also from minimised) above the others and gives it
// the focus, as a user expects after starting the program again.
void bringToFront(QWidget &window);
