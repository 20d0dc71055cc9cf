#pragma once

#include "link/StatusMessages.h"
#include "settings/SettingsDiff.h"

#include <QByteArray>
#include <QString>

#include <array>

class SettingsImage;

// What an exchange with the unit needs from whoever started it: the main window, the command-line
// tool or a test. The sequences call these in the order the user would see them.
class LinkHost {
public:
    virtual ~LinkHost() = default;

    // The settings image the exchange reads into or writes from.
    virtual SettingsImage &tractionMemory() = 0;

    virtual void showStatus(const QString &text, bool isError) = 0;  // closing message
    virtual void showActivity(const QString &text) = 0;              // neutral message while it runs
    // The closing message with why it came, where the sequence knows ("the unit went on sending").
    // The window keeps the reason in its message log; a host without one shows the message alone.
    virtual void showStatusWithReason(const QString &text, bool isError, const QString &reason)
    {
        Q_UNUSED(reason);
        showStatus(text, isError);
    }

    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress(int by) = 0;
    virtual int progressMaximum() const = 0;

    virtual void lockMenus() = 0;
    virtual void unlockMenus() = 0;
    virtual void stopMessageTimer() {}
    virtual void startMessageTimer() {}

    // Setting false also empties the "Modified" panel.
    virtual void setModified(bool modified) = 0;
    // 'written' is now the unit's: the pages are unmodified where they still hold it. An edit made
    // while the exchange ran reached no one and stays modified.
    virtual void settingsWritten(const SettingsImage &written)
    {
        Q_UNUSED(written);
        setModified(false);
    }
    virtual void setSettingsLoaded(bool loaded) = 0;

    // Image to pages after a read; pages to image before a write. A page entry that is not a number
    // makes copyPagesToImage show its conversion error and return false.
    virtual void fillPagesFromImage() = 0;
    virtual bool copyPagesToImage() = 0;

    // A write went through but the unit read back other settings than were sent: the settings
    // that differ, as sent and as read. 'answered' is false when the read-back itself failed.
    // Called once the exchange has ended.
    virtual void verifyFailed(const QList<SettingChange> &differences, bool answered)
    {
        Q_UNUSED(differences);
        Q_UNUSED(answered);
    }

    // The file form of the title; a window also shows the link's FirmwareVersion with it.
    virtual void updateTitleBar(bool fileForm) = 0;

    // A long exchange's estimate of the seconds it still needs, renewed as it runs.
    virtual void showTimeLeft(const QString &activity, int seconds) { showActivity(timeLeftText(activity, seconds)); }
    static QString timeLeftText(const QString &activity, int seconds)
    {
        return QLatin1String(StatusMessages::SecondsLeft).arg(activity).arg(seconds);
    }
    // The whole logger memory arrived; the host plots it. Not called for a failed upload.
    virtual void logImageUploaded(const QByteArray &logImage) { Q_UNUSED(logImage); }

    // Dispatch points of the receive handler that take precedence over the exchange mode.
    // The terminal takes every byte while it is shown; the graph takes frames of six.
    virtual bool terminalVisible() const { return false; }
    // Text from the unit for the terminal, its line ends already mended (CR LF).
    virtual void terminalReceive(const QByteArray &shown) { Q_UNUSED(shown); }
    virtual bool realTimeVisible() const { return false; }
    virtual void liveFrame(const std::array<quint8, 6> &frame) { Q_UNUSED(frame); }
    // One of the unit's text messages came in place of a frame and was read whole.
    virtual void liveTextSkipped() {}
};
