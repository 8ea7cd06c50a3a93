#include "net/statusdialog.h"

namespace statusdialog {

Message *open(QWidget *window)
{
    auto *m = new Message(window);
    // Freed once closed: kept until its window goes, every lookup would leave
    // a hidden window with its pixels behind, and each new dialog would cost
    // more than the last (modality walks all of them).
    m->setFreedOnClose();
    m->show();
    return m;
}

Message *ensure(QPointer<Message> &current, QWidget *window)
{
    // What is written to a current dialog the user closed ("Cписок пуст.", an
    // accepted order) must still be seen, a lost connection above all: ours
    // are on their way out then, so a new one takes over.
    if (!current || (current->isHidden() && current->isFreedOnClose()))
        current = open(window);
    else if (current->isHidden())
        current->show();
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
