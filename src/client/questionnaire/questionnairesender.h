#pragma once
#include <QString>
#include <QVariantMap>
#include <memory>

class QObject;

// The questionnaire goes out through whichever window opened it: the login
// window before login (code 2), the main window after it (code 9). Both are
// adapted to this small interface so the dialog does not care which one it has.
class QuestionnaireSender
{
public:
    virtual ~QuestionnaireSender() = default;
    virtual void sendQuestionnaire(const QVariantMap &data) = 0;
    virtual void sendFile(const QString &path) = 0;

    // Null when the window is neither the login window nor the main window.
    static std::unique_ptr<QuestionnaireSender> forWindow(QObject *window);
};
