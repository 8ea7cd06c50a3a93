// The main window's reply reader: the same frame gate and dispatch the window
// runs on readyRead, fed arbitrary streams cut at arbitrary points.
#include <QApplication>
#include <QMessageBox>
#include <cstdint>
#include <cstdlib>

#include "app/mainwindow.h"
#include "app/message.h"
#include "split_stream.h"

void vintaroInitResources();

namespace {
QApplication *app = nullptr;
MainWindow *window = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    vintaroInitResources();
    app = new QApplication(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QVariantMap access{{"SNP", true}, {"PUTG", true}, {"PUTGm", true}};
    window = new MainWindow(nullptr, "fuzz", "fuzz", nullptr, access, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    forEachFrame(data, size, [](const QByteArray &body) { window->handleReplyBody(body); });
    // The window's loop delivers posted events between reads; left queued here
    // they pile up over millions of runs and every post or delete scans them.
    // Timers still never fire, so a run stays one input's worth of work.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Finished status dialogs would pile up over millions of runs (a user closes
    // them); the current one stays, as it does between the window's replies.
    Message *status = window->statusDialog();
    const auto dialogs = window->findChildren<Message *>();
    for (Message *m : dialogs)
        if (m != status)
            delete m;
    int boxes = 0;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops) {
        if (qobject_cast<Message *>(w) && w != status)
            delete w;
        else if (qobject_cast<QMessageBox *>(w))
            ++boxes;
    }
    // Replies reuse the one message box they show; a second one is a pile-up.
    if (boxes > 1)
        abort();
    return 0;
}
