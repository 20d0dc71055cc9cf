#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class CommandSequences;
class LinkHost;
class LinkWaits;
class MenuSteps;
class SerialDevice;
struct LinkState;

// The unit's data logger: the upload of its whole memory and the clear. One implementation serves
// the main window, tractionctl and the tests.
class LoggerSequences {
public:
    LoggerSequences(LinkState &state, SerialDevice &device, LinkWaits &waits, LinkHost &host,
                    CommandSequences &sequences);

    static constexpr int UploadProgressMaximum = 132000;
    // 131072 bytes at 19200 baud take 68 s; a unit that stops between blocks ends here.
    static constexpr int UploadTimeoutMs = 90000;
    // The erase after 'C' ends with the data logging screen again.
    static constexpr int ClearTimeoutMs = 5000;
    static constexpr int ClearProgressMaximum = 10;
    // The line's own rate (8N1: ten bits a byte): the estimate until the unit's pace is measured.
    static constexpr int LineBytesPerSecond = 1920;

    // The whole actions, lock to unlock; true on success. The upload hands the memory to the host
    // to plot before its closing return to the root, so the graph is ready as the last byte is in.
    bool UploadLog();
    bool ClearLog();

    // Asks the running upload to stop, from inside its wait (a button, Esc, Ctrl+C): no block is
    // taken any more, the rest of the memory the unit still sends is let go until the line falls
    // quiet, the unit is returned to its menu root and the plot keeps what it held. The upload
    // then ends with "Reading traction memory cancelled". False when no upload runs (or it is
    // already stopping).
    bool cancelUpload();
    bool uploading() const { return m_uploading; }
    // A memory that holds no run: every sample byte as the clear or an erase leaves it (all 0x00 or
    // all 0xFF). It is reported as read but not plotted, so that it does not draw flat lines over
    // the traces shown.
    static bool nothingLogged(const QByteArray &logImage);
    // The line counts as quiet after this long without a byte.
    static constexpr int QuietMs = 250;

    // The bounds of the two waits. Only tests shorten them, to reach their failures quickly.
    struct Bounds {
        int uploadMs = UploadTimeoutMs;
        int clearMs = ClearTimeoutMs;
    };
    void setBounds(const Bounds &bounds) { m_bounds = bounds; }

private:
    enum class Upload { Done, Failed, Cancelled };
    Upload upload();
    bool letRestGo();
    bool clear(MenuSteps &steps);
    void showTimeLeft();

    LinkState &m_state;
    SerialDevice &m_device;
    LinkWaits &m_waits;
    LinkHost &m_host;
    CommandSequences &m_sequences;
    Bounds m_bounds;
    QTimer m_estimateTimer;
    QElapsedTimer m_transfer;
    int m_shownSeconds = -1;
    bool m_uploading = false;
    bool m_cancelled = false;
    QString m_cancelReason;
    qint64 m_letGo = 0;  // bytes of the memory received after the cancel and thrown away
};
