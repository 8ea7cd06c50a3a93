#pragma once
// Widget helpers of the graphite configurators, free so that the PUTGm tab can
// reuse them with its own widgets.
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace putgui {

// What a filled list stands for: the size list sets the size member to its
// first row, the pressure list prefers the row ending with "1,6 (16,0)".
enum class ListRole { Size, Press, Other };

// Clears the list, appends the rows in order and makes row 0 current; then
// updates *member as the role asks (member may be null for Other).
void PUTGFillList(const QStringList &rows, QListWidget *list, ListRole role, QString *member);

// Makes `row` current when the list has it; returns whether it did. Used for
// the per-standard preselections, which must not clear the current row of a
// short list.
bool selectRow(QListWidget *list, int row);

// The drawing of a round gasket with its diameter labels and inputs.
struct ChertWidgets
{
    QWidget *field = nullptr;       // container without layout
    QLabel *picture = nullptr;
    QLabel *values[4] = {};         // D1 ... D4 shown over the drawing
    QLabel *captions[4] = {};       // "D1 = " ... next to the inputs
    QLineEdit *inputs[4] = {};      // typed D1 ... D4
};

// Where a drawing runs its diameter lines, in the pixels of a label `width`
// wide: the diameters present, smallest first, from row0 in steps of rowStep,
// each ending in the value column at slotX.
struct ChertLines
{
    double width = 0;
    double slotX = 0, row0 = 0, rowStep = 0;
};
// The round PUTG drawings (picgen draws them with these numbers).
constexpr ChertLines kPutgRoundLines{250, 190, 72, 24};

// Places the diameter labels over the drawing and the inputs beside it for the
// ring group of a construction, and fits the container to the drawing so the
// boxes below follow it. Returns the drawing's height. With `lines` each value
// goes to the end of its dimension line and its input to the left of that row;
// without, the rows are centred on the drawing, outermost first.
int PUTGResizeChert(const ChertWidgets &w, bool outerRing, bool innerRing,
                    const ChertLines *lines = nullptr);

// Loads a picture resource scaled to the label's width; a missing picture
// leaves the label empty.
void showScaledToWidth(QLabel *label, const QString &path);
// Loads a picture resource scaled into the label's size, aspect ratio kept.
void showScaledToSize(QLabel *label, const QString &path);

// A material picker is editable exactly while its last ("other") entry is
// current; the typed text is then preselected.
void ComboBoxSetEditable(QComboBox *box);

// Typed sizes and diameters take positive numbers with a decimal comma only
// ("12,5"); anything else would go into the designation as typed.
void acceptSizesOnly(QLineEdit *edit);

} // namespace putgui
