// The terminal's receive path on a real pseudo-terminal, the test playing the unit, and the keys of
// tractionctl's terminal as a text terminal delivers them.
#include "PtyPair.h"
#include "RecorderHost.h"
#include "SimUnit.h"
#include "link/TerminalKeys.h"
#include "link/TractionLink.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

// A host showing the terminal: every notification's shown text is kept apart.
class TerminalHost : public RecorderHost {
public:
    bool visible = true;
    QList<QByteArray> shown;

    bool terminalVisible() const override { return visible; }
    void terminalReceive(const QByteArray &text) override { shown << text; }
};

}  // namespace

class TestTerminalLink : public QObject {
    Q_OBJECT

    // Waits until the host has shown n notifications' worth; the bound only catches a hang.
    static void waitShown(TractionLink &link, const TerminalHost &host, qsizetype n)
    {
        link.waits().waitUntil([&] { return host.shown.size() >= n; }, 5000);
    }

private slots:
    void lineEndsAreMendedAcrossNotifications()
    {
        PtyPair pty;
        TerminalHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(pty.slavePath));
        LinkState &s = link.state();
        s.LinkMode = ModeRunning;  // the terminal takes precedence over a text wait

        // The unit's LF CR pairs become CR LF; however the bytes are split, nothing is held back.
        pty.write("A\n\rB\n\r");
        link.waits().waitUntil([&] { return host.shown.join().size() >= 6; }, 5000);
        QCOMPARE(host.shown.join(), QByteArray("A\r\nB\r\n"));
        QCOMPARE(s.TerminalCarry, QByteArray());
        QCOMPARE(link.Comm1().InputCount(), 0);

        // A trailing LF waits for the CR of the next notification.
        host.shown.clear();
        pty.write("A\n");
        waitShown(link, host, 1);
        QCOMPARE(host.shown, QList<QByteArray>{"A"});
        QCOMPARE(s.TerminalCarry, QByteArray("\n"));
        pty.write("\rB");
        waitShown(link, host, 2);
        QCOMPARE(host.shown.value(1), QByteArray("\r\nB"));
        QCOMPARE(s.TerminalCarry, QByteArray());

        // A pair that is already right stays as it is; a lone LF waits, then shows as it came.
        host.shown.clear();
        pty.write("\r\n\r");
        waitShown(link, host, 1);
        QCOMPARE(host.shown.value(0), QByteArray("\r\n\r"));
        pty.write("\n");
        link.waits().Delay_ms(100);
        QCOMPARE(host.shown.size(), 1);
        QCOMPARE(s.TerminalCarry, QByteArray("\n"));
        pty.write("x");
        waitShown(link, host, 2);
        QCOMPARE(host.shown.value(1), QByteArray("\nx"));

        // The carry outlives the terminal being hidden; bytes then go to the exchange mode.
        pty.write("Running\n");
        waitShown(link, host, 3);
        QVERIFY(!s.RunningSeen);
        host.visible = false;
        pty.write("Running");
        link.waits().waitUntil([&] { return s.RunningSeen; }, 5000);
        QVERIFY(s.RunningSeen);
        QCOMPARE(s.TerminalCarry, QByteArray("\n"));
        QCOMPARE(host.shown.size(), 3);
    }

    void aTalkingUnitIsReadInBurstsAndShownSoon()
    {
        // At 19200 baud the bytes come one by one; the terminal takes them a burst at a time,
        // and each burst is handed on soon after its first byte came.
        SimUnit unit({"--pace", "--stream"});
        QVERIFY(unit.ok());
        TerminalHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        QElapsedTimer clock;
        qint64 firstArrival = -1, longestWait = 0;
        connect(&link.Comm1(), &SerialDevice::activity, [&] {
            if (firstArrival < 0)
                firstArrival = clock.elapsed();
        });
        clock.start();
        link.waits().Delay_ms(100);  // past the start of the stream
        host.shown.clear();
        firstArrival = -1;
        int calls = 0;
        qsizetype characters = 0;
        while (clock.elapsed() < 1600) {
            const qsizetype n = host.shown.size();
            link.waits().waitUntil([&] { return host.shown.size() > n; }, 1000);
            if (host.shown.size() > n && firstArrival >= 0) {
                longestWait = std::max(longestWait, clock.elapsed() - firstArrival);
                firstArrival = -1;
            }
        }
        for (const QByteArray &text : host.shown) {
            ++calls;
            characters += text.size();
        }
        QVERIFY2(characters > 1000, qPrintable(QString::number(characters)));
        QVERIFY2(characters / calls >= 10, qPrintable(QStringLiteral("%1 in %2").arg(characters).arg(calls)));
        // Only a hang fails here; the figure itself is bench_terminal's.
        QVERIFY2(longestWait < 1000, qPrintable(QString::number(longestWait)));
    }

    void consoleBytesToUnitBytes_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QByteArray>("sent");
        using L = QList<QByteArray>;
        QTest::newRow("letters invert case") << L{"eE"} << QByteArray("Ee");
        QTest::newRow("digits, and Shift+digit") << L{"19!("} << QByteArray("19QY");
        QTest::newRow("space and punctuation") << L{" ,<"} << QByteArray(" \xBC\xDC");
        QTest::newRow("Enter, Tab, Backspace send nothing") << L{"\r\n\t\x7f\b"} << QByteArray();
        QTest::newRow("Ctrl+letter sends the letter") << L{"\x05"} << QByteArray("E");
        QTest::newRow("Esc alone") << L{"\x1b"} << QByteArray("\x1b");
        QTest::newRow("arrows, Home, Delete send nothing") << L{"\x1b[A\x1b[D\x1bOH\x1b[3~"} << QByteArray();
        QTest::newRow("a sequence split between reads") << L{"\x1b[", "1;2", "B", "d"} << QByteArray("D");
        QTest::newRow("Esc, a pause, then [A") << L{"\x1b", "", "[A"}
                                               << QByteArray("\x1b\xdb"
                                                             "a");
        QTest::newRow("F1, and Shift+F1") << L{"\x1bOP\x1b[1;2P\x1b[15~"} << QByteArray("\x70\x90\x74");
        QTest::newRow("Esc then a letter") << L{"\x1b", "e"}
                                           << QByteArray("\x1b"
                                                         "E");
        QTest::newRow("Ctrl+] ends, the rest is not sent") << L{"a\x1d"
                                                                "b",
                                                                "c"}
                                                           << QByteArray("A");
    }

    void consoleBytesToUnitBytes()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QByteArray, sent);
        TerminalKeys::ConsoleKeys keys;
        QByteArray out;
        const auto send = [&](const QList<TerminalKeys::TypedKey> &typed) {
            for (const auto &key : typed)
                if (const auto byte = TerminalKeys::keyByte(key.virtualKey, key.shift))
                    out += char(*byte);
        };
        // Reads follow each other at once; an empty one is a pause, as after a key typed alone.
        for (const QByteArray &read : reads)
            send(read.isEmpty() ? keys.flush() : keys.feed(read));
        send(keys.flush());
        QCOMPARE(out.toHex(' '), sent.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TestTerminalLink)
#include "tst_terminal_link.moc"
