#include "app/wholetext.h"

#include <QEvent>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QLabel>

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
