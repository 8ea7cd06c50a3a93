#include "app/wholetext.h"

#include <QEvent>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QTextEdit>
#include <cmath>

namespace {
class WholeTextFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            fitWholeText(static_cast<QLabel *>(watched));
        return false;
    }
};
} // namespace

void fitWholeText(QLabel *label)
{
    const int needed = label->heightForWidth(label->width());
    if (needed > 0 && label->minimumHeight() != needed)
        label->setMinimumHeight(needed);
}

void keepTextWhole(QLabel *label)
{
    label->setWordWrap(true);
    label->installEventFilter(new WholeTextFilter(label));
    fitWholeText(label);
}

void keepTextEditWhole(QTextEdit *edit)
{
    // Without a scroll bar the text width never depends on the height, so
    // fitting the height cannot change the layout it was fitted to.
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setSizePolicy(edit->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    const auto fit = [edit](const QSizeF &size) {
        const int frame = edit->frameWidth() * 2;
        const int needed = int(std::ceil(size.height())) + frame;
        if (edit->height() != needed || edit->minimumHeight() != needed)
            edit->setFixedHeight(needed);
    };
    QObject::connect(edit->document()->documentLayout(),
                     &QAbstractTextDocumentLayout::documentSizeChanged, edit, fit);
    fit(edit->document()->size());
}

void showEntriesWhole(QWidget *form)
{
    for (QComboBox *box : form->findChildren<QComboBox *>()) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // The toolkit keeps an old minimum once entries change; the width
        // the entries need is the minimum.
        const auto fit = [box] { box->setMinimumWidth(box->sizeHint().width()); };
        fit();
        QAbstractItemModel *model = box->model();
        QObject::connect(model, &QAbstractItemModel::rowsInserted, box, fit);
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, box, fit);
        QObject::connect(model, &QAbstractItemModel::modelReset, box, fit);
        QObject::connect(model, &QAbstractItemModel::dataChanged, box, fit);
    }
}
