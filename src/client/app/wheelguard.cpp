#include "app/wheelguard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>

namespace {
class WheelGuard : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (w->hasFocus())
            return false;
        for (QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
            if (auto *area = qobject_cast<QAbstractScrollArea *>(p)) {
                QCoreApplication::sendEvent(area->viewport(), event);
                return true;
            }
        }
        return true; // not in a scrolled form after all: the value stays
    }
};

bool inScrollArea(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea *>(p))
            return true;
    return false;
}
} // namespace

void guardWheel(QWidget *form)
{
    auto *guard = new WheelGuard(form);
    QList<QWidget *> fields;
    for (QAbstractSpinBox *s : form->findChildren<QAbstractSpinBox *>())
        fields << s;
    for (QComboBox *c : form->findChildren<QComboBox *>())
        fields << c;
    for (QWidget *w : fields) {
        if (!inScrollArea(w))
            continue;
        // The wheel alone gives no focus either.
        w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(guard);
    }
}
