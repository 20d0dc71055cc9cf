#pragma once

#include "settings/PageHistory.h"
#include "settings/SettingsImage.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QEvent;
class TAFrame;

// Undo and redo on the settings pages. Every change report of the pages is recorded as a snapshot
// once the event that caused it is handled, so a set-all button's twenty boxes are one step.
// It also knows the image the pages last matched (read, loaded or saved): a step back to it makes
// the pages unmodified again.
class PageUndo : public QObject {
    Q_OBJECT
public:
    explicit PageUndo(TAFrame *pages, QObject *parent = nullptr);

    // The pages were filled from 'image' by a read, a load or an import: a new history. 'modified'
    // is the pages' mark after the fill (a loaded file not yet sent is modified); a step back to
    // this point gives it again.
    void reset(const SettingsImage &image, bool modified = false);
    // The pages now hold what the unit or a file holds (read or saved): clean as they stand.
    void markClean(const SettingsImage &image);
    // 'image' was taken from the pages and sent to the unit; they may have changed since, and
    // are clean only where they still hold it.
    void markWritten(const SettingsImage &image);
    // The pages were changed as a whole (a tune from the history, say): one step, kept.
    void recordNow();

    void undo();
    void redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // Whether the pages differ from the image they last matched, or match it but it was never
    // saved or sent.
    bool differsFromClean() const;
    const PageHistory &history() const { return m_history; }

signals:
    void availabilityChanged(bool canUndo, bool canRedo);
    // An undo or redo showed a step; 'modified' is false when it equals the clean image.
    void stepped(bool modified);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void changed(QObject *control);
    void flush();
    void step(const PageValues *values);
    void announce();

    TAFrame *m_pages;
    PageHistory m_history;
    SettingsImage m_clean;         // the clean image as the pages encode it
    bool m_cleanModified = false;  // the clean image itself was never saved or sent
    QTimer m_pending;
    QPointer<QObject> m_typingIn;
    bool m_mixed = false;    // more than one control changed since the last snapshot
    bool m_showing = false;  // the pages are being set from a snapshot
};
