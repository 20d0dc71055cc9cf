#pragma once

#include <QElapsedTimer>
#include <QTimer>

class CommandSequences;
class LinkHost;
class LinkWaits;
class MenuSteps;
class SerialDevice;
struct LinkState;

// The unit's data logger: the upload of its whole memory and the clear. One implementation serves
// the main window, tractionctl and the tests.
class LoggerSequences
{
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

    // The bounds of the two waits. Only tests shorten them, to reach their failures quickly.
    struct Bounds {
        int uploadMs = UploadTimeoutMs;
        int clearMs = ClearTimeoutMs;
    };
    void setBounds(const Bounds &bounds) { m_bounds = bounds; }

  private:
    bool upload();
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
};
