#include "questionnaire/questionnairesender.h"

#include "app/mainwindow.h"
#include "login/startwindow.h"
#include "wire.h"

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

class MainWindowSender : public QuestionnaireSender
{
public:
    explicit MainWindowSender(MainWindow *w) : m_window(w) {}

    void sendQuestionnaire(const QVariantMap &data) override
    {
        m_window->SlotSendToServer(quint8(wire::QuestionnaireRequest), data);
    }

    void sendFile(const QString &path) override { m_window->sendFile(path); }

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
