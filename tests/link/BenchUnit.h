#pragma once

#include "PtyPair.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QTimer>

// A small stand-in for the unit inside the test's own process, kept only for what unit-sim, the
// unit's one model, cannot do: change what it is while the program stays connected (another
// version, or silence, on the same port within one test), print text a chosen few ms after the
// image, and send a whole logger memory in one write, faster than any real unit. Everything
// else runs against unit-sim. It sits at the master end of a pseudo-terminal and keeps every byte
// received for the test to assert.
class BenchUnit {
public:
    PtyPair pty;
    QByteArray received;  // every byte the program sent, in order
    QByteArray sent;      // every byte the unit answered
    QByteArray memory = QByteArray(256, '\0');
    QByteArray version = "TC 2.41";
    bool silent = false;
    bool answerEscWithRunning = true;
    int imageBytes = 256;   // fewer: a partial image
    QByteArray afterImage;  // printed after the image: at once, or afterImageMs later
    int afterImageMs = 0;
    bool uploadedOk = true;
    QByteArray logMemory;  // answered to 'I' in one go, as fast as the line takes it

    BenchUnit() : m_notifier(pty.master, QSocketNotifier::Read), m_writable(pty.master, QSocketNotifier::Write)
    {
        m_writable.setEnabled(false);
        QObject::connect(&m_writable, &QSocketNotifier::activated, [this] { flush(); });
        for (int i = 0; i < 256; ++i)
            memory[i] = char(i ^ 0x5A);
        QObject::connect(&m_notifier, &QSocketNotifier::activated, [this] { onBytes(); });
    }

private:
    // Whatever the line does not take now goes as soon as it does.
    void flush()
    {
        while (!m_out.isEmpty()) {
            const auto n = ::write(pty.master, m_out.constData(), size_t(m_out.size()));
            if (n <= 0)
                break;
            sent += m_out.left(n);
            m_out.remove(0, n);
        }
        m_writable.setEnabled(!m_out.isEmpty());
    }
    void onBytes()
    {
        const QByteArray in = pty.readAll();
        received += in;
        for (char c : in)
            handle(c);
    }
    void say(const QByteArray &text)
    {
        if (!silent) {
            sent += text;
            pty.write(text);
        }
    }
    void handle(char c)
    {
        if (m_uploading > 0) {
            m_upload += c;
            if (--m_uploading == 0) {
                memory = m_upload;
                if (uploadedOk)
                    say("\n\rSettings uploaded ok\n\r");
            }
            return;
        }
        if (m_afterW) {
            m_afterW = false;
            if (c == 'Y') {
                m_uploading = 256;
                m_upload.clear();
                return;
            }
        }
        switch (c) {
        case 0x1B:
            m_setup = false;
            if (answerEscWithRunning)
                say("\n\rVeltorane unit Running\n\r>");
            break;
        case 'E':
            m_setup = true;
            say("\n\r-- SETUP MENU --\n\r");
            break;
        case 'O': say(version); break;
        case 'R':
            if (afterImageMs > 0 && !afterImage.isEmpty()) {
                say(memory.left(imageBytes));
                QTimer::singleShot(afterImageMs, Qt::PreciseTimer, &m_notifier, [this] { say(afterImage); });
            } else {
                say(memory.left(imageBytes) + afterImage);
            }
            break;
        case 'I':
            m_out += logMemory;
            flush();
            break;
        case 'W':
            if (m_setup)
                say("\n\rWheel Speed 0 0 0 0\n\r");
            else
                m_afterW = true;
            break;
        default: break;
        }
    }

    QSocketNotifier m_notifier;
    QSocketNotifier m_writable;
    QByteArray m_out;
    bool m_setup = false;
    bool m_afterW = false;
    int m_uploading = 0;
    QByteArray m_upload;
};
