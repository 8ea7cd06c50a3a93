#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// One file on its way to the server. The header announces a size; exactly
// that many bytes must follow, so the reader never trusts the file to stay
// the same length while it is being sent.
class FileUpload
{
public:
    enum class Step { Data, Done, Changed };

    FileUpload(const QString &path, qint64 chunkSize);

    bool open();
    QString baseName() const;
    qint64 announcedSize() const { return m_size; }

    // Next piece to write: Data with bytes, Done after exactly the announced
    // size, or Changed when the file no longer matches the header.
    Step next(QByteArray *chunk);

private:
    QFile m_file;
    qint64 m_chunk;
    qint64 m_size = 0;
    qint64 m_sent = 0;
};
