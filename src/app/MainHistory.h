#pragma once

#include "settings/TuneHistory.h"
#include "settings/ui/TuneHistoryDialog.h"

#include <QObject>
#include <QPointer>

#include <functional>

class MainActions;
class PageUndo;
class QMenu;
class QWidget;
class TAFrame;
class TCOMPortForm;
class TractionLink;
class TRegistryRoutines;

// The tune history in the main window: a copy kept after every successful read, write and save,
// and File, "&History" to look at them and bring one back into the pages.
class MainHistory : public QObject {
    Q_OBJECT
public:
    // What it works with: the actions History1 and Import1, the File menu, the option store whose
    // folder keeps the history, the settings image and the link it keeps a copy of, the port it was
    // read on, the pages and their undo, the Modified mark and the window its boxes belong to.
    struct Parts {
        const MainActions &actions;
        QMenu *fileMenu;
        const TRegistryRoutines &options;
        const SettingsImage &image;
        TractionLink &link;
        TCOMPortForm &ports;
        TAFrame *pages;
        PageUndo &undo;
        std::function<void(bool)> setModified;
        QWidget *window;
    };
    MainHistory(const Parts &parts, QObject *parent);

    // The settings image has just been read, written or saved (detail: the file saved to).
    void record(TuneHistory::Event event, const QString &detail = QString());
    void History1Execute();
    TuneHistoryDialog *dialog() const { return m_dialog; }

private:
    void load(const SettingsImage &image);
    void compare(const SettingsImage &kept);

    Parts m_parts;
    QPointer<TuneHistoryDialog> m_dialog;
};
