#include "net/statusdialog.h"

namespace statusdialog {

Message *ensure(QPointer<Message> &current, QWidget *window)
{
    if (!current) {
        current = new Message(window);
        current->show();
    } else if (current->isHidden()) {
        // Closed by the user but still current ("Cписок пуст.", an accepted
        // order): what is written next must be seen, a lost connection above all.
        current->show();
    }
    return current;
}

void busy(QPointer<Message> &current, QWidget *window, const QString &text)
{
    Message *m = ensure(current, window);
    m->setCloseEnabled(false);
    m->setMessageText(text);
}

void finish(QPointer<Message> &current, QWidget *window, const QString &text)
{
    Message *m = ensure(current, window);
    m->setMessageText(text);
    m->setCloseEnabled(true);
    current = nullptr;
}

} // namespace statusdialog
