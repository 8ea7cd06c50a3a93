#pragma once
#include <QPointer>
#include <QString>

#include "app/message.h"

class QWidget;

// The current-status-dialog convention both windows follow: at most one
// current dialog per window; a final text enables its close button and the
// window forgets it, so it stays on screen until the user closes it.
namespace statusdialog {

// A new dialog with the window as parent, shown; it deletes itself when closed.
Message *open(QWidget *window);
// The window's current dialog, opened when there is none or the user closed it.
Message *ensure(QPointer<Message> &current, QWidget *window);
// Busy text: close button disabled, the dialog stays current.
void busy(QPointer<Message> &current, QWidget *window, const QString &text);
// Final text: close button enabled, the dialog is forgotten.
void finish(QPointer<Message> &current, QWidget *window, const QString &text);

} // namespace statusdialog
