#pragma once

#include <QFile>
#include <QString>

// The real-time log: a DOS graph file written record by record while a run goes on. Each record
// reaches the system as it is appended, so a crash of the program or a pulled cable loses none of
// the frames handled so far.
class LiveLog {
public:
    enum class Opened { Yes, BackupFailed, Failed };

    // Backs up an existing file of that name, creates it and writes the 252-byte header.
    Opened open(const QString &path, QString *error);
    // One six-byte record; false (with *error) when the file could not take it.
    bool append(const uchar *record, QString *error);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    // Records written since the last open; kept after the close, for the run's last word.
    qint64 records() const { return m_records; }

private:
    QFile m_file;
    qint64 m_records = 0;
};
