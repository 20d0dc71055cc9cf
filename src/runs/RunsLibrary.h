#pragma once

#include "runs/RunRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class TRegistryRoutines;

// The runs kept by themselves: each logger upload and logged live run as its DOS graph file, byte
// for byte as it was saved, with its record beside it. The newest MaxUnpinned runs that are not
// pinned stay; pinned runs never go. A run that cannot be stored is reported, never fatal.
class RunsLibrary {
public:
    static constexpr int MaxUnpinned = 200;
    // The folder chosen in Options ("\Options", "Runs Folder"); "" keeps the default.
    static constexpr char FolderSubKey[] = "\\Options";
    static constexpr char FolderName[] = "Runs Folder";
    static QString chosenFolder(TRegistryRoutines &options);
    static void setChosenFolder(TRegistryRoutines &options, const QString &folder);

    explicit RunsLibrary(QString folder);
    // The program's: the folder chosen in Options, else <configuration folder>/runs.
    static RunsLibrary fromOptions(TRegistryRoutines &options);
    static QString defaultFolder(const TRegistryRoutines &options);
    // The driven axle the graph window was last set to ("\Options", "Graph Driven Axle"; rear by default).
    static Axle drivenAxleOption(TRegistryRoutines &options);

    // A new record of a run that just ended: its rate from the image (the logger's) or the pace
    // measured (a live run), the driven axle from the options. No image: "settings unknown".
    static RunRecord made(TRegistryRoutines &options, RunRecord::Kind kind, const std::optional<SettingsImage> &image,
                          const QDateTime &imageTime, const QString &version, double measuredSecondsPerSample = 0);

    QString folder() const { return m_folder; }

    // Stores the graph file's bytes and the record, its id, samples and figures filled in from
    // them. Nothing (with the reason) when it could not be stored; nothing half stored stays.
    std::optional<RunRecord> keep(const QByteArray &dosBytes, RunRecord record, QString *error);
    // Newest first. Records that are damaged, foreign or lack their graph file are left out, and alone.
    QList<RunRecord> runs() const;
    // By its number in that list: 1 is the newest.
    std::optional<RunRecord> run(int number, QString *error = nullptr) const;
    // Writes a changed note, pin or settings back into the record.
    bool update(const RunRecord &record, QString *error) const;
    // Both files; false when either stays.
    bool remove(const RunRecord &record, QString *error) const;

private:
    void prune() const;

    QString m_folder;
};

// The record kept beside a graph file (same name, ".json"), when there is one of ours.
std::optional<RunRecord> recordBeside(const QString &graphFile);

// The samples of a kept run (or any DOS graph file), loaded; false with the reason otherwise.
bool loadRun(const RunRecord &record, Channels &channels, QString *error);
