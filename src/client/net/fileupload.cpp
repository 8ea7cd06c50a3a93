#include "net/fileupload.h"

#include <QFileInfo>

FileUpload::FileUpload(const QString &path, qint64 chunkSize)
    : m_file(path), m_chunk(chunkSize)
{
}

bool FileUpload::open()
{
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    m_size = QFileInfo(m_file.fileName()).size();
    return true;
}

QString FileUpload::baseName() const
{
    return QFileInfo(m_file.fileName()).fileName();
}

FileUpload::Step FileUpload::next(QByteArray *chunk)
{
    const qint64 left = m_size - m_sent;
    if (left <= 0) {
        // A file that grew since the header would put a long upload on the wire.
        if (m_file.bytesAvailable() > 0 || m_file.size() != m_size)
            return Step::Changed;
        return Step::Done;
    }
    *chunk = m_file.read(qMin(m_chunk, left));
    if (chunk->isEmpty())
        return Step::Changed; // shrank: the announced size can no longer be met
    m_sent += chunk->size();
    return Step::Data;
}
