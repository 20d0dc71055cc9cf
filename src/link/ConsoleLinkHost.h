#pragma once

#include "link/LinkHost.h"
#include "settings/SettingsImage.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

class PortDirectory;
class TractionLink;

// The host of an exchange run from the command line: progress and messages on standard error,
// the image in place of the pages.
class ConsoleLinkHost : public LinkHost {
public:
    SettingsImage image;
    QString status;
    QString reason;
    bool failed = false;

    SettingsImage &tractionMemory() override { return image; }
    void showStatus(const QString &text, bool isError) override;
    // The reason is printed on a line of its own before the message: scripts read the message from
    // the last line.
    void showStatusWithReason(const QString &text, bool isError, const QString &reason) override;
    void showActivity(const QString &text) override;
    void setProgressMaximum(int maximum) override
    {
        m_maximum = maximum;
        m_shownPercent = -1;
        m_secondsLeft = -1;
    }
    void setProgressPosition(int position) override;
    void stepProgress(int by) override { setProgressPosition(m_position + by); }
    int progressMaximum() const override { return m_maximum; }
    void lockMenus() override {}
    void unlockMenus() override;  // the end of the exchange: its message goes out last
    void setModified(bool) override {}
    void setSettingsLoaded(bool) override {}
    void fillPagesFromImage() override {}
    bool copyPagesToImage() override { return true; }
    void updateTitleBar(bool) override {}
    // The settings that differ, one line each on standard error.
    void verifyFailed(const QList<SettingChange> &differences, bool answered) override;
    // Printed beside the next percentage.
    void showTimeLeft(const QString &, int seconds) override { m_secondsLeft = seconds; }

    // Activity texts and percentages go to standard error only where someone watches them: on a
    // terminal, or when asked for. Set once for the process.
    static void setProgressShown(bool shown);
    // The exchange's closing message, on a line of its own.
    void printStatus();

private:
    bool m_lineOpen = false;  // progress printed since the last message
    int m_maximum = 0;
    int m_position = 0;
    int m_shownPercent = -1;
    int m_secondsLeft = -1;
};

// The link commands of tractionctl: "version", "read OUT" and "write IN". port is a device path or
// "COMn" looked up in 'ports', the tool's port directory. Each returns the tool's exit status (0 done, 1 failed)
// and prints the system's message at the end on standard error.
namespace LinkCommands {
QString resolvePort(const QString &port, const PortDirectory &ports, QString *error);
// "--port DEV" taken out of args; empty when it is missing.
QString takePort(QStringList &args);
// Opens the port for the link, or says on standard error why not.
bool openPort(TractionLink &link, const QString &port, const PortDirectory &ports);
int version(const QString &port, const PortDirectory &ports);
// save writes the image with the backup rule; it is called only with a complete image.
// check: read the image twice and take it only when both agree.
int read(const QString &port, const PortDirectory &ports,
         const std::function<bool(const SettingsImage &, QString *error)> &save, bool check = true);
// verify: read the settings back after the write and compare them byte for byte.
int write(const QString &port, const PortDirectory &ports, const SettingsImage &image, bool verify = true,
          bool check = true);
// Reads the unit and prints on standard output every setting in which 'image' differs from it,
// "page / setting: unit's -> image's unit"; 0 when none differs, 1 when some do or the read failed.
int compare(const QString &port, const PortDirectory &ports, const SettingsImage &image);
}  // namespace LinkCommands
