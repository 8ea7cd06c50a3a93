#pragma once
#include <QPointer>
#include <QString>

#include "app/message.h"

class QWidget;

// The current-status-dialog convention both windows follow: at most one
// current dialog per window; a final text enables its close button and the
// window forgets it, so it stays on screen until the user closes it.
namespace statusdialog {

// The window's current dialog, created (with the window as parent) and shown
// when there is none.
Message *ensure(QPointer<Message> &current, QWidget *window);
// Busy text: close button disabled, the dialog stays current.
void busy(QPointer<Message> &current, QWidget *window, const QString &text);
// Final text: close button enabled, the dialog is forgotten.
void finish(QPointer<Message> &current, QWidget *window, const QString &text);

} // namespace statusdialog
