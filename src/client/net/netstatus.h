#pragma once
#include <QAbstractSocket>
#include <QString>

// Status texts shared by both windows.
namespace netstatus {
QString errorReason(QAbstractSocket::SocketError err, const QString &socketErrorString);
QString tooLargeText();
QString noConnectionText();
QString fileChangedText();
}
