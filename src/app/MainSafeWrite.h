#pragma once

#include "settings/SettingsDiff.h"

#include <QObject>

class QAction;
class QMenu;
class QWidget;
class SettingsImage;
class TAFrame;
class TractionLink;
class TRegistryRoutines;

// The guards around the unit's settings in the main window: the comparison before a write, the
// comparison with the unit, the verify after a write, reads checked twice and the plausibility
// warning after a read or a load. Its four Options items keep their states in the option store.
class MainSafeWrite : public QObject {
    Q_OBJECT
public:
    // What it works with: the Options menu its items join and the store they are kept in, the
    // link, the settings image, the pages and the window its boxes belong to.
    struct Parts {
        QMenu *optionsMenu;
        TRegistryRoutines &options;
        TractionLink &link;
        const SettingsImage &image;
        TAFrame *pages;
        QWidget *window;
    };
    MainSafeWrite(const Parts &parts, QObject *parent);

    // Write Settings: what will change, confirmed, then the write (and its verify). True when
    // the unit took (and, verifying, holds) the settings.
    bool WriteToTraction1Execute();
    // Read Settings, then the warning when the image read holds values its fields cannot. True
    // when the image was read.
    bool ReadFromTraction1Execute();
    // Reads the unit and shows it against the pages; the pages stay as they are.
    void CompareWithTraction1Execute();
    // The box listing what the unit read back otherwise than it was written.
    void verifyFailed(const QList<SettingChange> &differences, bool answered);
    // The plausibility warning for TractionMemory, when there is anything to warn of.
    void warnImplausible();

    QAction *compareWithUnit() const { return m_compare; }
    QAction *verifyAfterWrite() const { return m_verify; }
    QAction *compareBeforeWrite() const { return m_confirm; }
    QAction *checkReads() const { return m_checkReads; }

private:
    bool confirmWrite();

    TractionLink &m_link;
    const SettingsImage &m_image;
    TAFrame *m_pages;
    QWidget *m_window;
    QAction *m_compare;
    QAction *m_verify;
    QAction *m_confirm;
    QAction *m_checkReads;
};
