#include <QLineEdit>
#include <QRegExpValidator>
#include "putg/putgwidgets.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageLogger>
#include <QPixmap>

namespace putgui {

namespace {
const QString kPreferredPress = QStringLiteral("1,6 (16,0)");
const int kDefaultDrawingHeight = 150;
const int kRowStep = 28;
const int kRowGap = 4;
} // namespace

void PUTGFillList(const QStringList &rows, QListWidget *list, ListRole role, QString *member)
{
    list->clear();
    list->addItems(rows);
    list->setCurrentRow(0);
    if (rows.isEmpty() || !member)
        return;
    if (role == ListRole::Size) {
        *member = rows.first();
    } else if (role == ListRole::Press) {
        for (int i = 0; i < rows.size(); ++i) {
            if (rows.at(i).endsWith(kPreferredPress)) {
                list->setCurrentRow(i);
                // The member gets the bare preferred value, not the row text.
                *member = kPreferredPress;
                return;
            }
        }
        *member = rows.first();
    }
}

bool selectRow(QListWidget *list, int row)
{
    if (row < 0 || row >= list->count())
        return false;
    list->setCurrentRow(row);
    return true;
}

namespace {
void placeOnLines(const ChertWidgets &w, bool outerRing, bool innerRing, const ChertLines &lines)
{
    QList<int> order;
    if (innerRing)
        order << 0;
    order << 1 << 2;
    if (outerRing)
        order << 3;
    const int width = w.picture->width();
    const double scale = width / lines.width;
    const int slot = w.picture->x() + qRound(lines.slotX * scale) + 2;
    for (int i = 0; i < 4; ++i)
        w.values[i]->setVisible(order.contains(i));
    for (int k = 0; k < order.size(); ++k) {
        const int i = order.at(k);
        const int rowHeight = w.inputs[i]->height();
        const int y = w.picture->y() + qRound((lines.row0 + k * lines.rowStep) * scale) - rowHeight / 2;
        w.captions[i]->move(w.picture->x() + kRowGap, y);
        w.inputs[i]->move(w.captions[i]->x() + w.captions[i]->width(), y);
        w.values[i]->setGeometry(slot, y, qMax(0, w.picture->x() + width - slot), rowHeight);
        w.values[i]->raise();
        w.captions[i]->raise();
        w.inputs[i]->raise();
    }
}
} // namespace

int PUTGResizeChert(const ChertWidgets &w, bool outerRing, bool innerRing, const ChertLines *lines)
{
    const QPixmap pm = w.picture->pixmap(Qt::ReturnByValue);
    const int width = w.picture->width();
    const int height = pm.isNull() ? kDefaultDrawingHeight : pm.height();
    w.picture->resize(width, height);
    if (lines) {
        placeOnLines(w, outerRing, innerRing, *lines);
        w.field->setMinimumHeight(height);
        w.field->setMaximumHeight(height);
        QMessageLogger(__FILE__, __LINE__, "void MainWindow::PUTGResizeChert()").debug()
            << "drawing height" << height;
        return height;
    }

    // Outermost diameter first, as the dimension lines run on the drawing.
    QList<int> order;
    if (outerRing)
        order << 3;
    order << 2 << 1;
    if (innerRing)
        order << 0;

    // One row per diameter: the typed input on the left half, the value on
    // the right half, the block centred on the drawing.
    const int rows = order.size();
    const int top = qMax(kRowGap, (height - rows * kRowStep) / 2);
    for (int i = 0; i < 4; ++i)
        w.values[i]->setVisible(order.contains(i));
    for (int k = 0; k < rows; ++k) {
        const int i = order.at(k);
        const int y = w.picture->y() + top + k * kRowStep;
        w.captions[i]->move(w.picture->x() + kRowGap, y);
        w.inputs[i]->move(w.captions[i]->x() + w.captions[i]->width(), y);
        w.values[i]->setGeometry(w.picture->x() + width / 2 + kRowGap, y,
                                 qMax(0, width / 2 - 2 * kRowGap), w.inputs[i]->height());
        w.values[i]->raise();
        w.captions[i]->raise();
        w.inputs[i]->raise();
    }

    const int fieldHeight = qMax(height, top + rows * kRowStep);
    w.field->setMinimumHeight(fieldHeight);
    w.field->setMaximumHeight(fieldHeight);
    QMessageLogger(__FILE__, __LINE__, "void MainWindow::PUTGResizeChert()").debug()
        << "drawing height" << height;
    return height;
}

void showScaledToWidth(QLabel *label, const QString &path)
{
    const QPixmap pm(path);
    if (pm.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(pm.scaledToWidth(label->width(), Qt::SmoothTransformation));
}

void showScaledToSize(QLabel *label, const QString &path)
{
    const QPixmap pm(path);
    if (pm.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(pm.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void ComboBoxSetEditable(QComboBox *box)
{
    const bool last = box->count() > 0 && box->currentIndex() == box->count() - 1;
    if (box->isEditable() != last)
        box->setEditable(last);
    if (last && box->lineEdit()) {
        // A typed name is the code as typed; completing it into a catalogue
        // entry would order a material nobody chose.
        box->setCompleter(nullptr);
        box->lineEdit()->selectAll();
    }
}

void acceptSizesOnly(QLineEdit *edit)
{
    static const QRegExp pattern(QStringLiteral("[1-9][0-9]{0,5}(,[0-9]{1,3})?|0,[0-9]{0,2}[1-9]"));
    edit->setValidator(new QRegExpValidator(pattern, edit));
}

} // namespace putgui
