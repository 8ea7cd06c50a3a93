#include "questionnaire/questionnairesender.h"

#include "app/mainwindow.h"
#include "login/startwindow.h"
#include "wire.h"

#include <QDebug>
#include <QMetaObject>

namespace {

class LoginWindowSender : public QuestionnaireSender
{
public:
    explicit LoginWindowSender(StartWindow *w) : m_window(w) {}

    void sendQuestionnaire(const QVariantMap &data) override
    {
        // Nothing happens when already connected; otherwise the request is
        // kept by the login window until the connection is up.
        m_window->ConnectToSerever();
        m_window->SlotSendToServer(data, quint8(wire::QuestionnaireBeforeLogin));
    }

    void sendFile(const QString &path) override { m_window->sendFile(path); }

private:
    StartWindow *m_window;
};

// The main window's send slots are reached through its meta-object, so this
// adapter only depends on their signatures:
//   SlotSendToServer(quint8 com, QVariantMap txt) and sendFile(QString fileName).
class MainWindowSender : public QuestionnaireSender
{
public:
    explicit MainWindowSender(MainWindow *w) : m_window(w) {}

    void sendQuestionnaire(const QVariantMap &data) override
    {
        // Direct call: the map must be on the socket before the upload starts.
        if (!QMetaObject::invokeMethod(m_window, "SlotSendToServer", Qt::DirectConnection,
                                       Q_ARG(quint8, quint8(wire::QuestionnaireRequest)),
                                       Q_ARG(QVariantMap, data)))
            qWarning() << "main window cannot send the questionnaire";
    }

    void sendFile(const QString &path) override
    {
        if (!QMetaObject::invokeMethod(m_window, "sendFile", Qt::DirectConnection,
                                       Q_ARG(QString, path)))
            qWarning() << "main window cannot upload" << path;
    }

private:
    MainWindow *m_window;
};

} // namespace

std::unique_ptr<QuestionnaireSender> QuestionnaireSender::forWindow(QObject *window)
{
    if (auto *login = qobject_cast<StartWindow *>(window))
        return std::make_unique<LoginWindowSender>(login);
    if (auto *main = qobject_cast<MainWindow *>(window))
        return std::make_unique<MainWindowSender>(main);
    return nullptr;
}
