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
const int kDefaultDrawingHeight = 170;
const int kRowHeight = 22;
const int kInputRowStep = 28;
const int kInputColumnGap = 12;
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

int PUTGResizeChert(const ChertWidgets &w, bool outerRing, bool innerRing)
{
    const QPixmap pm = w.picture->pixmap(Qt::ReturnByValue);
    const int width = w.picture->width();
    const int height = pm.isNull() ? kDefaultDrawingHeight : pm.height();
    w.picture->resize(width, height);

    // Outermost diameter first, as the dimension lines run on the drawing.
    QList<int> order;
    if (outerRing)
        order << 3;
    order << 2 << 1;
    if (innerRing)
        order << 0;

    for (int i = 0; i < 4; ++i) {
        w.values[i]->setVisible(order.contains(i));
        w.values[i]->raise();
    }
    const int band = qMax(height / 2, kRowHeight * order.size());
    for (int k = 0; k < order.size(); ++k) {
        QLabel *l = w.values[order.at(k)];
        const int y = band * k / order.size() + (band / order.size() - kRowHeight) / 2;
        l->setGeometry(w.picture->x() + (width - l->width()) / 2, w.picture->y() + qMax(0, y),
                       l->width(), kRowHeight);
    }

    const int x = w.picture->x() + width + kInputColumnGap;
    for (int k = 0; k < order.size(); ++k) {
        const int i = order.at(k);
        const int y = w.picture->y() + 4 + k * kInputRowStep;
        w.captions[i]->move(x, y);
        w.inputs[i]->move(x + w.captions[i]->width(), y);
    }

    const int inputsHeight = 8 + order.size() * kInputRowStep;
    w.field->setMinimumHeight(qMax(height, inputsHeight));
    w.field->setMaximumHeight(qMax(height, inputsHeight));
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
    if (last && box->lineEdit())
        box->lineEdit()->selectAll();
}

} // namespace putgui
