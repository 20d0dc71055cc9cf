#pragma once

#include "settings/SettingsImage.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class TRegistryRoutines;

// Automatic copies of the settings image: every successful read from the unit, write to it and
// save to a file keeps one, with its time, the unit's version and what happened. One small file
// per copy in a folder of the configuration folder, newest last; beyond MaxEntries the oldest go.
// Nothing is kept for a failure, and a copy that cannot be stored never stops the action it records.
class TuneHistory {
public:
    static constexpr int MaxEntries = 100;

    enum class Event { Read, Write, Save };

    struct Entry {
        QDateTime time;  // local time of the action
        Event event = Event::Read;
        QString version;  // the unit's version text; "" when none is known
        QString detail;   // the file saved to, the port read or written
        SettingsImage image;
        QString file;  // where this copy is stored

        // "read from the unit", "written to the unit", "saved to track.dat"
        QString what() const;
    };

    // The history under 'folder' ("<configuration folder>/history" in the program).
    explicit TuneHistory(QString folder);
    // The program's: in the configuration folder of the option store.
    static TuneHistory inConfigFolder(const TRegistryRoutines &options);

    QString folder() const { return m_folder; }

    // Keeps a copy; false (with the reason) when it could not be stored.
    bool add(Event event, const SettingsImage &image, const QString &version, const QString &detail,
             QString *error = nullptr, const QDateTime &time = QDateTime::currentDateTime());
    // Oldest first. A file that is not a copy of ours (damaged, foreign) is left out and left alone.
    QList<Entry> entries() const;
    // Entry by its number in the list as users see it: 1 is the newest.
    std::optional<Entry> entry(int number, QString *error = nullptr) const;

    static QString eventName(Event event);

private:
    void dropOldest() const;

    QString m_folder;
};
