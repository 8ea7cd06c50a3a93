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
    // Dialogs the replies opened would pile up over millions of runs.
    const auto dialogs = window->findChildren<Message *>();
    for (Message *m : dialogs)
        delete m;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (qobject_cast<QMessageBox *>(w) || qobject_cast<Message *>(w))
            delete w;
    return 0;
}
