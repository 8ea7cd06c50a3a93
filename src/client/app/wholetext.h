#pragma once
class QLabel;

// A word-wrapped label in a layout gets the height its text needs at its
// current width, whatever the layout would give it; kept up on resizes and
// by calling fitWholeText after a new text.
void keepTextWhole(QLabel *label);
void fitWholeText(QLabel *label);

class QTextEdit;
// A read-only text box as tall as its text at its current width, kept up as
// the text or the width changes, so no line is hidden behind a scroll bar.
void keepTextEditWhole(QTextEdit *edit);

class QWidget;
// Every combo box of a form is as wide as its longest entry, so no choice
// is shown cut; the form's minimum size grows with them.
void showEntriesWhole(QWidget *form);
