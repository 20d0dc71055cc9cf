#pragma once

#include <QSerialPort>

// USB serial adapters hold received bytes for up to 16 ms to fill a packet, which would cut the live
// poll to about 45 frames a second. Asks the driver of the open port to pass them on at once.
// False when it cannot or will not (pseudo-terminals, many drivers); the port works as before.
bool requestLowLatency(QSerialPort &port);
