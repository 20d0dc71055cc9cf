#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class LinkHost;
class LinkWaits;
class SerialDevice;
class SettingsImage;
struct LinkState;

// The exchanges of the settings: the return to the menu root, the version query, Read Settings
// and Write Settings. One implementation serves the main window, tractionctl and the tests.
class CommandSequences {
public:
    CommandSequences(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host);

    // RootMenu keeps answering a unit that keeps talking, but not for ever: a wrong device or a
    // babbling unit would otherwise hold the menus locked. After this much continuous traffic
    // it gives up and the exchange fails.
    static constexpr int RootMenuBoundMs = 20000;
    static constexpr int ReplyTimeoutMs = 2000;  // TractionCommTimeout for version and image
    static constexpr int ReadProgressMaximum = 326;
    static constexpr int WriteProgressMaximum = 356;
    // Before 'R' the line must have been quiet this long (the time the unit has to answer an ESC),
    // or a screen still owed would be read as the image. Given up after the bound: a unit talking
    // that long has the image refused if its text comes in front of it.
    static constexpr int QuietMs = 100;
    static constexpr int SettleBoundMs = 1000;

    // False only when the unit would not fall silent within the bound.
    bool RootMenu();
    bool TractionFirmwareVersion();
    // The whole Read Settings and Write Settings actions, lock to unlock; true on success.
    bool ReadFromTraction();
    bool WriteToTraction();
    // Reads the unit's settings into 'image' alone, lock to unlock: the pages, TractionMemory and
    // the Modified mark stay as they are. True when the whole image came.
    bool ReadUnitImage(SettingsImage &image);

    // After "Traction memory written OK" the unit's settings are read back and compared byte for
    // byte. Off, Write Settings goes over the wire exactly as it always has. The window and
    // tractionctl turn it on unless the user said otherwise.
    void setVerifyAfterWrite(bool on) { m_verify = on; }
    bool verifyAfterWrite() const { return m_verify; }
    // Every read of the settings (Read Settings, a verify's read-back, a comparison) asks for the
    // image a second time and takes it only when both agree. Off, one 'R' as it always was. The
    // window and tractionctl turn it on unless the user said otherwise.
    void setCheckReads(bool on) { m_checkReads = on; }
    bool checkReads() const { return m_checkReads; }
    // Why the last read failed, for the message's detail; empty when it did not.
    QString readFailure() const { return m_failure; }

    void Delay_ms(int ms);

    // The end of every exchange that reads or writes: the bar full, unlocked, the message timer
    // running. Modified is cleared only when the pages now agree with the unit (a read or write
    // that succeeded): after a failure, or a logger upload, edits are still neither saved nor sent,
    // and closing the program must go on asking about them.
    void finish(bool pagesAgreeWithUnit);
    // The bar full, unlocked, the message timer running.
    void closeExchange();

private:
    bool send(char c);
    bool rootMenuOverdue() const;
    bool escapeLoop();
    bool waitForExchange();
    bool waitForFlag(const bool &flag, int rounds);
    bool readImage(SettingsImage *target);
    bool verifyWrite();
    void showFailure(const char *text);
    bool readOnce(SettingsImage &received);
    bool checkedRead(SettingsImage &image);
    void rootReturnIfStopped();
    bool writeImage();
    void startExchange(const char *activity, int progressMaximum);
    void clearReplyWindow();
    void settleInput();

    LinkState &m_state;
    SerialDevice &m_device;
    LinkWaits &m_waits;
    LinkHost &m_host;
    QTimer m_progressBarTimer;
    QElapsedTimer m_rootMenuClock;
    bool m_verify = false;
    bool m_checkReads = false;
    bool m_imageSent = false;
    QString m_failure;
};
