#pragma once
#include <QString>
#include <QVariantMap>

// What a configurator tab needs from the window that hosts it: the tables
// map, the notes behind the message labels, the delayed data request and the
// connection. MainWindow implements it; tests may too.
class TabHost
{
public:
    virtual ~TabHost() = default;

    virtual QVariantMap tables() const = 0;
    virtual QString note(const QString &key) const = 0;
    virtual void setNote(const QString &key, const QString &value) = 0;
    virtual void SetMessages() = 0;
    virtual void ClickOnSomthn() = 0;
    virtual void sendRequest(quint8 code, const QVariantMap &map) = 0;
};
