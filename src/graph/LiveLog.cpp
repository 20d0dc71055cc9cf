#include "graph/LiveLog.h"

#include "graph/Channels.h"
#include "graph/GraphFiles.h"

LiveLog::Opened LiveLog::open(const QString &path, QString *error)
{
    close();
    m_records = 0;
    if (!GraphFiles::backupExisting(path)) {
        *error = QString::fromLatin1(GraphFiles::BackupError);
        return Opened::BackupFailed;
    }
    m_file.setFileName(path);
    // Unbuffered: every record is a write of its own, held by the system once it returns.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = m_file.errorString();
        return Opened::Failed;
    }
    const QByteArray header(GraphFiles::DosHeaderSize, '\0');
    if (m_file.write(header) != header.size()) {
        *error = m_file.errorString();
        m_file.close();
        return Opened::Failed;
    }
    return Opened::Yes;
}

bool LiveLog::append(const uchar *record, QString *error)
{
    if (m_file.write(reinterpret_cast<const char *>(record), RecordSize) == RecordSize) {
        ++m_records;
        return true;
    }
    *error = m_file.errorString();
    return false;
}

void LiveLog::close()
{
    if (m_file.isOpen())
        m_file.close();
}
