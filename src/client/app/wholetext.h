#pragma once
class QLabel;

// A word-wrapped label in a layout gets the height its text needs at its
// current width, whatever the layout would give it; kept up on resizes and
// by calling fitWholeText after a new text.
void keepTextWhole(QLabel *label);
void fitWholeText(QLabel *label);

class QWidget;
// Every combo box of a form is as wide as its longest entry, so no choice
// is shown cut; the form's minimum size grows with them.
void showEntriesWhole(QWidget *form);
