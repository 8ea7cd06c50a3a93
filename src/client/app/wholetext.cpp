#include "app/wholetext.h"

#include <QEvent>
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
