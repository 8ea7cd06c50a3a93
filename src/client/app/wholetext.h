#pragma once
class QLabel;

// A word-wrapped label in a layout gets the height its text needs at its
// current width, whatever the layout would give it; kept up on resizes and
// by calling fitWholeText after a new text.
void keepTextWhole(QLabel *label);
void fitWholeText(QLabel *label);
