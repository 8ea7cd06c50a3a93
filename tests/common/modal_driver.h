#pragma once
// Drives modal dialogs from tests: exec() blocks the test, so a timer polls
// for the dialog that became modal and acts on it from inside its loop.
#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Calls `act` once with the first modal widget of type T that appears within
// `timeoutMs`; gives up silently after that (the caller checks the effect).
template <typename T>
void whenModal(std::function<void(T *)> act, int timeoutMs = 5000)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, waited, timeoutMs] {
        *waited += timer->interval();
        if (T *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
