// Read Settings, Write Settings, the version query and the menu return against the simulated unit
// on a pseudo-terminal, asserting the bytes its trace saw and what the user is shown.
#include "BenchUnit.h"
#include "RecorderHost.h"
#include "SimUnit.h"
#include "link/TractionLink.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray pattern(int salt)
{
    QByteArray b(256, '\0');
    for (int i = 0; i < 256; ++i)
        b[i] = char((i * 13 + salt) & 0xFF);
    return b;
}

// The times of the bytes the program sent, in ms of the simulator's clock. The simulator stamps a
// byte when it gets round to reading it, so on a busy machine a stamp may come late: two bytes
// sent 5 ms apart can carry one stamp. Spacings are asserted as means or with wide margins.
QList<double> sentTimes(const SimUnit &unit, qsizetype from = 0)
{
    QList<double> times;
    for (const SimUnit::Byte &b : unit.trace())
        if (b.in)
            times << b.ms;
    return times.mid(from);
}

double mean(const QList<double> &values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.isEmpty() ? 0 : sum / double(values.size());
}

QByteArray figures(const QList<double> &values)
{
    QByteArray text;
    for (double v : values)
        text += QByteArray::number(v, 'f', 1) + ' ';
    return text;
}

}  // namespace

class TestSequences : public QObject {
    Q_OBJECT

    static QByteArray bytes(const SettingsImage &image) { return image.toByteArray(); }

private slots:
    void readWriteAndReadBackAgree()
    {
        SimUnit unit({"--fast"}, pattern(1));
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(link.ReadFromTraction());
        QCOMPARE(bytes(host.image), pattern(1));
        QCOMPARE(bytes(host.pages), pattern(1));
        QCOMPARE(host.lastStatus, QStringLiteral("Traction memory read OK"));
        QVERIFY(!host.lastStatusError);
        QCOMPARE(link.state().firmwareVersionText(), QByteArray("TCU V3.12"));
        QVERIFY(!host.locked && !host.modified && host.settingsLoaded);
        QCOMPARE(host.events.first(), QStringLiteral("lock"));
        QCOMPARE(host.events.last(), QStringLiteral("unlock"));
        QCOMPARE(host.progress, 326);
        QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
        // Root, version, root, root, image, root: the unit at rest needs one ESC per return.
        QCOMPARE(unit.receivedInTime(), QByteArray("\x1bO\x1b\x1bR\x1b"));

        host.pages = SettingsImage::fromBytes(pattern(77));
        host.modified = true;
        QVERIFY(link.WriteToTraction());
        QCOMPARE(host.lastStatus, QStringLiteral("Traction memory written OK"));
        QCOMPARE(unit.memory(), pattern(77));
        QVERIFY(!host.locked && !host.modified);
        QCOMPARE(host.progress, 356);
        const QByteArray wrote = unit.receivedInTime().mid(6);
        QCOMPARE(wrote.left(262), QByteArray("\x1bO\x1b\x1bWY") + pattern(77));
        // The wheel speeds stream after the last 'W': stopped with 'D', then two levels up.
        QCOMPARE(wrote.mid(262).toHex(), QByteArray("EWD\x1b\x1b").toHex());

        host.image = SettingsImage();
        host.pages = SettingsImage();
        QVERIFY(link.ReadFromTraction());
        QCOMPARE(bytes(host.image), pattern(77));
        QCOMPARE(bytes(host.pages), pattern(77));
    }

    // The line has no checksum. With reads checked, a garbled byte never passes for the unit's
    // setting: a read either gives the unit's image or fails and leaves the image alone. Read once,
    // as before, the same line did give wrong images with "read OK".
    void aNoisyLineNeverGivesAWrongImageWithSuccess()
    {
        int taken = 0, wrongUnchecked = 0;
        for (int seed = 1; seed <= 13; ++seed) {
            const bool checked = seed > 3;
            SimUnit unit({"--fast", "--garbage", "0.01", "--seed", QString::number(seed)}, pattern(seed));
            QVERIFY(unit.ok());
            RecorderHost host;
            TractionLink link(host);
            link.sequences().setCheckReads(checked);
            QVERIFY(link.Comm1().open(unit.path));
            const SettingsImage before = host.image;
            const bool ok = link.ReadFromTraction();
            const QString said = QStringLiteral("seed %1: %2").arg(seed).arg(host.lastStatus);
            QCOMPARE(host.lastStatus,
                     QString::fromLatin1(ok ? "Traction memory read OK" : "Error : reading traction memory"));
            if (!checked) {
                wrongUnchecked += ok && bytes(host.image) != pattern(seed);
                continue;
            }
            if (ok) {
                ++taken;
                QVERIFY2(bytes(host.image) == pattern(seed), qPrintable(said));
            } else {
                QVERIFY2(host.image == before, qPrintable(said));
            }
        }
        QVERIFY2(wrongUnchecked > 0, "the noise never reached an unchecked image: this test proves nothing");
        qInfo("checked reads taken: %d of 10", taken);
    }

    void writePausesAsTheUnitNeeds()
    {
        // 5 ms after 'W' and after 'Y', a second between 'E' and the last 'W'. The short pauses are
        // of the size of the simulator's own delays in reading, so they are judged on the mean of
        // several writes.
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        constexpr int Writes = 3;
        for (int i = 0; i < Writes; ++i)
            QVERIFY2(link.WriteToTraction(), unit.received().toHex(' ').constData());
        const QByteArray sent = unit.received();
        const QList<double> t = sentTimes(unit);
        QList<double> shortPauses, secondPauses;
        for (qsizetype w = sent.indexOf("WY"); w >= 0; w = sent.indexOf("WY", w + 260)) {
            QVERIFY2(sent.mid(w + 258, 2) == "EW", sent.toHex().constData());
            shortPauses << t[w + 1] - t[w] << t[w + 2] - t[w + 1];
            secondPauses << t[w + 259] - t[w + 258];
        }
        QCOMPARE(secondPauses.size(), Writes);
        QVERIFY2(mean(shortPauses) >= 3, figures(shortPauses).constData());
        for (double pause : secondPauses)
            QVERIFY2(pause >= 900, figures(secondPauses).constData());
    }

    void rootMenuOnTheWire()
    {
        // At rest: one ESC, answered with the root screen. A busy machine may delay an answer past
        // its 100 ms and so draw the fallback, or into the next return's quiet window and so draw a
        // 'D', but not every time.
        {
            SimUnit unit({"--fast"});
            RecorderHost host;
            TractionLink link(host);
            QVERIFY(link.Comm1().open(unit.path));
            constexpr int Returns = 4;
            for (int i = 0; i < Returns; ++i)
                QVERIFY(link.sequences().RootMenu());
            link.waits().Delay_ms(50);
            QCOMPARE(unit.receivedInTime().replace('D', QByteArray()), QByteArray("\x1b").repeated(Returns));
            QVERIFY2(unit.received().count('E') + unit.received().count('D') < Returns,
                     unit.received().toHex().constData());
            QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
        }
        // No answer: one ESC, the fallback 'E', one more ESC, each 100 ms after the last.
        {
            SimUnit unit({"--fast", "--silent"});
            RecorderHost host;
            TractionLink link(host);
            QVERIFY(link.Comm1().open(unit.path));
            constexpr int Returns = 3;
            for (int i = 0; i < Returns; ++i)
                QVERIFY(link.sequences().RootMenu());
            link.waits().Delay_ms(50);
            QCOMPARE(unit.received(), QByteArray("\x1b"
                                                 "E\x1b")
                                          .repeated(Returns));
            const QList<double> t = sentTimes(unit);
            QList<double> pauses;
            for (qsizetype i = 0; i < t.size(); i += 3)
                pauses << t[i + 1] - t[i] << t[i + 2] - t[i + 1];
            QVERIFY2(mean(pauses) >= 80, figures(pauses).constData());
        }
        // A talking screen: 'D' after each busy window until it stops, then out through ESC.
        {
            SimUnit unit({"--fast"});
            RecorderHost host;
            TractionLink link(host);
            QVERIFY(link.Comm1().open(unit.path));
            link.Comm1().SendChar('E');
            link.waits().Delay_ms(100);
            link.Comm1().SendChar('W');
            link.waits().Delay_ms(300);  // the wheel speeds are streaming now
            QVERIFY(link.sequences().RootMenu());
            link.waits().Delay_ms(50);
            const QByteArray sent = unit.receivedInTime().mid(2);
            QVERIFY2(QRegularExpression("^D+\x1b+$").match(QString::fromLatin1(sent)).hasMatch(),
                     sent.toHex().constData());
            const QList<double> t = sentTimes(unit, 2);
            QVERIFY2(t[0] - (sentTimes(unit)[1]) >= 245, "the first 'D' only after a 250 ms window");
        }
    }

    void readTakesTheImageWhateverFollowsIt_data()
    {
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("ms");
        QTest::newRow("prompt at once") << QByteArray("\n\r>") << 0;
        QTest::newRow("prompt 10 ms later") << QByteArray("\n\r>") << 10;
        QTest::newRow("prompt 30 ms later") << QByteArray("\n\r>") << 30;
        QTest::newRow("root screen at once") << QByteArray("\n\rVeltorane unit Running\n\r>") << 0;
    }
    void readTakesTheImageWhateverFollowsIt()
    {
        QFETCH(QByteArray, after);
        QFETCH(int, ms);
        BenchUnit unit;
        unit.afterImage = after;
        unit.afterImageMs = ms;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(link.ReadFromTraction());
        QCOMPARE(bytes(host.image), unit.memory);
        QCOMPARE(bytes(host.pages), unit.memory);
        QCOMPARE(host.lastStatus, QStringLiteral("Traction memory read OK"));
        QVERIFY(!host.lastStatusError);
        // What followed the image was read past as menu text; at most a 'D' answered it.
        const QByteArray afterR = unit.received.mid(unit.received.indexOf('R') + 1)
                                      .replace("\x1b"
                                               "E"
                                               "\x1b",
                                               "\x1b");
        QVERIFY2(QRegularExpression("^D*\x1b+$").match(QString::fromLatin1(afterR)).hasMatch(),
                 unit.received.toHex().constData());
    }

    void versionKeepsAtMostTenBytes_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("7") << "V 1.2.3" << QByteArray("V 1.2.3");
        QTest::newRow("10") << "V 10.20.30" << QByteArray("V 10.20.30");
        QTest::newRow("12") << "V 10.20.30xy" << QByteArray("V 10.20.30");
    }
    void versionKeepsAtMostTenBytes()
    {
        QFETCH(QString, reply);
        QFETCH(QByteArray, kept);
        SimUnit unit({"--fast", "--version-text", reply});
        QVERIFY(unit.ok());
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        QVERIFY(link.TractionFirmwareVersion());
        QCOMPARE(link.state().firmwareVersionText(), kept);
        QVERIFY(host.settingsLoaded);
        QCOMPARE(link.Comm1().InputCount(), 0);
        // The rest of a long reply was dropped, not taken for a menu screen.
        QCOMPARE(unit.receivedInTime(), QByteArray("\x1bO\x1b"));
    }

    void failuresShowTheErrorAndLoseNothing_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("wire");      // what the program sent, as a pattern of hex; ~ is a return
                                                // to the root, which a late answer may make ESC 'E' ESC
        QTest::addColumn<bool>("unitChanged");  // the unit took the image all the same
        QTest::newRow("read, silent") << QStringList{"--silent"} << false << "^1b451b4f$" << false;
        QTest::newRow("read, no version") << QStringList{"--no-version"} << false << "^~4f$" << false;
        QTest::newRow("read, partial image") << QStringList{"--partial-image", "100"} << false << "^~4f~~52$" << false;
        QTest::newRow("read, hang-up") << QStringList{"--hangup-after", "0.3"} << false << "" << false;
        QTest::newRow("write, silent") << QStringList{"--silent"} << true << "^1b451b4f$" << false;
        QTest::newRow("write, no uploaded ok")
            << QStringList{"--no-uploaded-ok"} << true << "^~4f~~5759[0-9a-f]{512}$" << false;
        QTest::newRow("write, no setup menu")
            << QStringList{"--no-setup-menu"} << true << "^~4f~~5759[0-9a-f]{512}45$" << true;
    }
    void failuresShowTheErrorAndLoseNothing()
    {
        QFETCH(QStringList, flags);
        QFETCH(bool, write);
        QFETCH(QString, wire);
        QFETCH(bool, unitChanged);
        SimUnit unit(QStringList{"--fast"} + flags, pattern(3));
        QVERIFY(unit.ok());
        RecorderHost host;
        host.image = SettingsImage::fromBytes(pattern(9));
        host.pages = SettingsImage::fromBytes(pattern(21));
        const SettingsImage shown = host.pages;
        TractionLink link(host);
        QSignalSpy lost(&link.Comm1(), &SerialDevice::lost);
        QVERIFY(link.Comm1().open(unit.path));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(write ? !link.WriteToTraction() : !link.ReadFromTraction());
        QVERIFY(clock.elapsed() < 30000);  // no hang
        QCOMPARE(host.lastStatus, write ? QStringLiteral("Error : writing traction memory")
                                        : QStringLiteral("Error : reading traction memory"));
        QVERIFY(host.lastStatusError);
        QVERIFY(!host.locked && host.modified);  // the edits are still neither saved nor sent
        QCOMPARE(host.events.last(), QStringLiteral("unlock"));
        QVERIFY(!host.events.contains(QStringLiteral("fill")));
        QVERIFY(host.pages == shown);
        QCOMPARE(bytes(host.image), write ? bytes(shown) : pattern(9));
        QCOMPARE(unit.memory(), unitChanged ? bytes(shown) : pattern(3));
        if (!wire.isEmpty()) {
            const QByteArray sent = unit.received().toHex();
            const QString pattern = QString(wire).replace('~', QStringLiteral("1b(?:451b)?"));
            QVERIFY2(QRegularExpression(pattern).match(QString::fromLatin1(sent)).hasMatch(), sent.constData());
        } else {
            QCOMPARE(lost.count(), 1);
            QVERIFY(!link.Comm1().active());
        }
    }

    void aLateRootScreenIsNeverTakenForTheImage_data()
    {
        QTest::addColumn<QString>("late");
        // Later than an ESC is given, so the return to the root goes through the setup menu and
        // ends with a root screen still owed: due within the quiet wait before 'R' (the read
        // succeeds), or after it (the screen comes in front of the image, and the read fails).
        QTest::newRow("0.15 s") << "0.15";
        QTest::newRow("0.25 s") << "0.25";
        QTest::newRow("0.6 s") << "0.6";
    }
    void aLateRootScreenIsNeverTakenForTheImage()
    {
        QFETCH(QString, late);
        SimUnit unit({"--fast", "--slow-root", late}, pattern(5));
        QVERIFY(unit.ok());
        RecorderHost host;
        host.image = SettingsImage::fromBytes(pattern(9));
        host.pages = SettingsImage::fromBytes(pattern(21));
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        // The window's Read Settings: the unit's image, or the read's error with nothing changed;
        // never the screen.
        if (link.ReadFromTraction()) {
            QCOMPARE(host.lastStatus, QStringLiteral("Traction memory read OK"));
            QCOMPARE(bytes(host.image), pattern(5));
            QCOMPARE(bytes(host.pages), pattern(5));
        } else {
            QCOMPARE(host.lastStatus, QStringLiteral("Error : reading traction memory"));
            QCOMPARE(bytes(host.image), pattern(9));
            QCOMPARE(bytes(host.pages), pattern(21));
        }
        QVERIFY(!host.locked);
        qInfo("Read Settings: %s", qPrintable(host.lastStatus));
        // The version in the title bar is the unit's, or none: never a line of its menu.
        const QByteArray version = link.state().firmwareVersionText();
        QVERIFY2(version.isEmpty() || version == "TCU V3.12", version.constData());
        // The read for a comparison likewise.
        SettingsImage compared;
        const QByteArray untouched = bytes(compared);
        if (link.ReadUnitImage(compared))
            QCOMPARE(bytes(compared), pattern(5));
        else
            QCOMPARE(bytes(compared), untouched);
        QVERIFY(!host.locked);
        qInfo("Compare read: %s", qPrintable(host.lastStatus));

        // A write and its verify: "written" and "verified" only when the unit holds the image.
        host.events.clear();
        host.pages = SettingsImage::fromBytes(pattern(33));
        link.sequences().setVerifyAfterWrite(true);
        link.sequences().setCheckReads(true);
        const bool verified = link.WriteToTraction();
        QCOMPARE(verified, host.events.contains(QStringLiteral("status:Traction memory verified OK")));
        if (host.events.contains(QStringLiteral("status:Traction memory written OK")))
            QCOMPARE(unit.memory(), pattern(33));
        qInfo("Write Settings: %s", qPrintable(host.events.filter(QStringLiteral("status")).join(", ")));
    }

    void streamingUnitIsGivenUpAfterTheBound()
    {
        SimUnit unit({"--fast", "--stream"}, pattern(3));
        QVERIFY(unit.ok());
        RecorderHost host;
        const SettingsImage before = host.image;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!link.ReadFromTraction());
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= CommandSequences::RootMenuBoundMs && took < CommandSequences::RootMenuBoundMs + 5000,
                 QByteArray::number(took).constData());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : reading traction memory"));
        QVERIFY(!host.locked && host.modified);
        QVERIFY(host.image == before);
        // Only 'D', one after each busy window, and never the version query.
        const QByteArray sent = unit.received();
        QVERIFY(sent.size() >= 40);
        QCOMPARE(sent.count('D'), sent.size());
        // Each round is a 250 ms window and 100 ms after its 'D': the mean spacing shows that,
        // whatever delay the simulator had in stamping a single 'D'.
        const QList<double> t = sentTimes(unit);
        QList<double> spacings;
        for (qsizetype i = 1; i < t.size(); ++i)
            spacings << t[i] - t[i - 1];
        QVERIFY2(mean(spacings) >= 345, figures(spacings).constData());
        for (double spacing : spacings)
            QVERIFY2(spacing >= 100, figures(spacings).constData());  // never two at once
    }

    void pageEntryThatIsNoNumberSendsNothing()
    {
        SimUnit unit({"--fast"});
        RecorderHost host;
        host.pagesConvert = false;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        QVERIFY(!link.WriteToTraction());
        link.waits().Delay_ms(50);
        QVERIFY(unit.received().isEmpty());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : writing traction memory"));
        QVERIFY(!host.locked && host.modified);
    }

    void closingTheLinkDuringAWaitUnwindsQuietly()
    {
        // Only the link's own teardown is under test here.
        SimUnit unit({"--fast", "--silent"});
        RecorderHost host;
        auto *link = new TractionLink(host);
        QVERIFY(link->Comm1().open(unit.path));
        // Left alone the read would wait for its version until about 2.5 s.
        QElapsedTimer sinceDeleted;
        QTimer::singleShot(300, [&] {
            delete link;
            sinceDeleted.start();
        });
        QVERIFY(!link->ReadFromTraction());
        QVERIFY(sinceDeleted.isValid() && sinceDeleted.elapsed() < 1000);
        QVERIFY(host.locked);  // nothing after the wait touched the host
    }
};

QTEST_GUILESS_MAIN(TestSequences)
#include "tst_sequences.moc"
