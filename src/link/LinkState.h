#pragma once

#include "settings/SettingsImage.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <optional>

// What the receive handler expects now.
enum LinkModes : quint8 {
    ModeIdle = 0,
    ModeSettingsImage = 1,
    ModeFirmwareVersion = 2,
    ModeRunning = 3,
    ModeSetupMenu = 4,
    ModeDataLogging = 5,
    ModeClearingRam = 6,
    ModeLogBlocks = 7,
    ModeDiagnostic = 8,
    ModeWheelSpeed = 9,
    ModeUploadedOk = 10,
};

enum ExchangeStatuses : quint8 { ExchangeFailed = 0x00, ExchangeWaiting = 0x55, ExchangeComplete = 0xFF };

// The exchange state shared by the receive handler and the command sequences, and the buffers
// the handler fills.
struct LinkState {
    static constexpr int LogImageSize = 131072;
    static constexpr int LogBlockSize = 256;
    static constexpr int LogBlocks = LogImageSize / LogBlockSize;

    quint8 LinkMode = ModeIdle;
    quint8 ExchangeStatus = ExchangeFailed;

    std::array<quint8, 10> ReplyWindow{};
    bool RxActivity = false;
    bool RunningSeen = false;
    bool SetupMenuSeen = false;
    bool DataLoggingSeen = false;
    bool ClearingRamSeen = false;
    bool DiagnosticSeen = false;
    bool WheelSpeedSeen = false;
    bool UploadedOkSeen = false;
    qint32 LogBlockCount = 0;
    // The running exchange is to end now, the way the unit expects (the window is closing).
    bool StopRequested = false;

    std::array<quint8, 10> FirmwareVersion{};
    QByteArray LogImage = QByteArray(LogImageSize, '\0');
    std::array<quint8, 6> LiveFrame{};
    QByteArray TerminalCarry;  // a trailing LF held back by the terminal until its CR may follow

    // The image last read from or written to the unit on this connection; forgotten when a port opens.
    std::optional<SettingsImage> UnitImage;
    // Where an arriving settings image goes instead of TractionMemory (a read-back, a comparison).
    SettingsImage *ImageTarget = nullptr;

    // FirmwareVersion up to its first zero byte.
    QByteArray firmwareVersionText() const
    {
        const auto *bytes = reinterpret_cast<const char *>(FirmwareVersion.data());
        return QByteArray(bytes, int(qstrnlen(bytes, FirmwareVersion.size())));
    }
};
