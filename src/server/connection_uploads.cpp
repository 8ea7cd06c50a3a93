// Files a client sends after an order or a questionnaire: received into a
// partial file, then put in place and recorded.
#include "server.h"

#include "crashpoint.h"
#include "storewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUuid>

#include <unistd.h>

void Connection::handleUploadHeader(const requests::Request &r)
{
    const quint8 code = r.code;
    const QString &clientName = r.fileName;
    const qint64 size = r.size;
    const QString &rowIndex = r.row;
    if (!r.ok) {
        drop(QStringLiteral("malformed upload header"));
        return;
    }
    if (size < 0 || size > m_server->config().maxUploadBytes) {
        drop(QStringLiteral("upload of %1 bytes refused (limit %2)").arg(size).arg(m_server->config().maxUploadBytes));
        return;
    }
    UploadState u;
    u.active = true;
    u.kind = code;
    u.clientName = clientName;
    u.rowIndex = code == wire::UploadRowFile ? rowIndex : QString();
    u.size = size;

    const QString name = safeUploadName(clientName);
    QString refusal;
    if (name.isEmpty()) {
        refusal = QStringLiteral("unsafe file name");
    } else if (code == wire::UploadRowFile) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
        if (!m_loggedIn || m_lastOrderId <= 0)
            refusal = QStringLiteral("drawing without an order");
        else if (!digits.match(rowIndex).hasMatch() || rowIndex.toInt() >= m_lastOrderRows)
            refusal = QStringLiteral("drawing for a row the order does not have");
        else {
            u.orderId = m_lastOrderId;
            u.orderRowId = m_server->store()->orderRowId(m_lastOrderId, rowIndex.toInt());
        }
    } else {
        if (m_lastQuestionnaireId > 0) {
            u.questionnaireId = m_lastQuestionnaireId;
            m_lastQuestionnaireId = 0; // a questionnaire carries one file
        } else if (m_lastQuestionnaireId < 0) {
            refusal = QStringLiteral("file of a questionnaire that was not stored or named no file");
        } else if (!m_loggedIn) {
            refusal = QStringLiteral("file before a login or questionnaire");
        }
    }
    if (refusal.isEmpty()) {
        const QString suffix = QFileInfo(name).suffix();
        static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,10}$"));
        u.storedName = QUuid::createUuid().toString(QUuid::WithoutBraces)
                       + (plain.match(suffix).hasMatch() ? QLatin1Char('.') + suffix.toLower() : QString());
        u.clientName = name;
        u.tempPath = QDir(m_server->uploadsTempDir()).filePath(u.storedName + QStringLiteral(".part"));
        u.file = new QFile(u.tempPath);
        if (!u.file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            qCritical().noquote() << "cannot write" << u.tempPath << ":" << u.file->errorString();
            delete u.file;
            u.file = nullptr;
        }
    } else {
        qWarning().noquote() << "upload" << clientName.left(100) << "dropped:" << refusal;
    }
    m_upload = u;
    m_hash.reset();
    if (m_upload.size == 0)
        finishUpload();
}

bool Connection::pumpUpload()
{
    // Asking for more than is buffered keeps Qt reading (see nextFrame).
    const qint64 want = m_upload.size - m_upload.received;
    const QByteArray chunk = m_socket->read(qMin<qint64>(want, 64 * 1024));
    if (chunk.isEmpty())
        return false;
    m_upload.received += chunk.size();
    if (m_upload.file) {
        m_hash.addData(chunk);
        if (m_upload.file->write(chunk) != chunk.size()) {
            qCritical().noquote() << "writing" << m_upload.tempPath << "failed:" << m_upload.file->errorString();
            m_upload.file->close();
            QFile::remove(m_upload.tempPath);
            delete m_upload.file;
            m_upload.file = nullptr;
        }
    }
    if (m_upload.received == m_upload.size)
        finishUpload();
    return true;
}

void Connection::finishUpload()
{
    UploadState u = m_upload;
    m_upload = UploadState();
    if (!u.file) {
        qInfo() << "dropped" << u.size << "bytes of a refused upload";
        return;
    }
    // On PostgreSQL the file goes into the database with its record, so
    // that nothing of it stays on this machine.
    StoreWriter *writer = m_server->uploadWriter();
    const bool ok = u.file->flush() && (writer || ::fsync(u.file->handle()) == 0);
    u.file->close();
    delete u.file;
    const QString target = QDir(m_server->uploadsDir()).filePath(u.storedName);
    if (!ok || (!writer && !QFile::rename(u.tempPath, target))) {
        qCritical().noquote() << "cannot move" << u.tempPath << "into place";
        QFile::remove(u.tempPath);
        return;
    }
    Upload rec;
    rec.kind = u.kind;
    rec.clientName = u.clientName;
    rec.storedName = u.storedName;
    rec.size = u.size;
    rec.sha256 = QString::fromLatin1(m_hash.result().toHex());
    rec.accountId = m_loggedIn ? m_account.id : 0;
    rec.orderId = u.orderId;
    rec.rowIndex = u.kind == wire::UploadRowFile ? u.rowIndex : QString();
    rec.orderRowId = u.orderRowId;
    rec.questionnaireId = u.questionnaireId;
    if (writer) {
        // The insert runs on the writer's thread. This connection's next
        // requests wait for it: no later answer may come before the file is
        // stored.
        m_busy = true;
        writer->write(rec, u.tempPath, this, [this, rec](qint64 id, const QString &error) {
            uploadRecorded(rec, id, error);
            resume();
        });
        return;
    }
    QString error;
    const qint64 id = m_server->store()->recordUpload(rec, &error);
    if (id < 0)
        QFile::remove(target);
    uploadRecorded(rec, id, error);
}

void Connection::uploadRecorded(const Upload &rec, qint64 id, const QString &error)
{
    if (id < 0)
        qCritical().noquote() << "upload record not stored:" << error;
    else
        qInfo().noquote() << "stored upload" << id << rec.clientName << "as" << rec.storedName << rec.size << "bytes";
}

void Connection::discardUpload()
{
    if (m_upload.file) {
        m_upload.file->close();
        QFile::remove(m_upload.tempPath);
        delete m_upload.file;
    }
    m_upload = UploadState();
}
