#include "net/netstatus.h"

namespace netstatus {

QString errorReason(QAbstractSocket::SocketError err, const QString &socketErrorString)
{
    switch (err) {
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("Сервер не найден.");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("Сервер отключился.");
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("Потеряна связь с сервером.");
    default:
        return socketErrorString;
    }
}

QString tooLargeText()
{
    return QStringLiteral("Запрос слишком велик для отправки: уменьшите объём данных "
                          "(например, разделите список на несколько заявок).");
}

QString noConnectionText()
{
    return QStringLiteral("Нет соединения с сервером. Перезапустите программу; "
                          "введённые данные сохранены до закрытия окна.");
}

QString fileChangedText()
{
    return QStringLiteral("Ошибка: файл изменился во время передачи. Передача прервана и "
                          "соединение закрыто; перезапустите программу и отправьте заявку заново.");
}

} // namespace netstatus
