#pragma once

#include "settings/TuneHistory.h"
#include "settings/ui/TuneHistoryDialog.h"

#include <QObject>
#include <QPointer>

class TForm1;

// The tune history in the main window: a copy kept after every successful read, write and save,
// and File, "&History" to look at them and bring one back into the pages.
class MainHistory : public QObject {
    Q_OBJECT
public:
    explicit MainHistory(TForm1 &window);

    // The settings image has just been read, written or saved (detail: the file saved to).
    void record(TuneHistory::Event event, const QString &detail = QString());
    void History1Execute();
    TuneHistoryDialog *dialog() const { return m_dialog; }

private:
    void load(const SettingsImage &image);
    void compare(const SettingsImage &kept);

    TForm1 &m_window;
    QPointer<TuneHistoryDialog> m_dialog;
};
