// Read Settings, Write Settings, the version query and the menu return against a unit on a
// pseudo-terminal, asserting the bytes on the wire and what the user is shown.
#include "BenchUnit.h"
#include "RecorderHost.h"
#include "link/ConsoleLinkHost.h"
#include "link/TractionLink.h"

#include <QElapsedTimer>
#include <QTest>

class TestSequences : public QObject {
    Q_OBJECT

    static QByteArray bytes(const SettingsImage &image) { return image.toByteArray(); }

private slots:
    void readBringsTheUnitsImageIntoPagesAndImage()
    {
        BenchUnit unit;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(link.ReadFromTraction());
        QCOMPARE(bytes(host.image), unit.memory);
        QCOMPARE(bytes(host.pages), unit.memory);
        QCOMPARE(host.lastStatus, QStringLiteral("Traction memory read OK"));
        QVERIFY(!host.lastStatusError);
        QCOMPARE(host.version, QStringLiteral("TC 2.41"));
        QVERIFY(!host.locked && !host.modified && host.settingsLoaded);
        QCOMPARE(host.events.first(), QStringLiteral("lock"));
        QCOMPARE(host.events.last(), QStringLiteral("unlock"));
        QCOMPARE(host.progress, 326);
        // Root, version, root, root, image, root: no 'D' for a quiet unit, one ESC per return.
        QCOMPARE(unit.received, QByteArray("\x1bO\x1b\x1bR\x1b"));
        QCOMPARE(link.state().LinkMode, quint8(ModeRunning));
    }

    void writePutsThePagesIntoTheUnit()
    {
        BenchUnit unit;
        RecorderHost host;
        for (int i = 0; i < 256; ++i)
            host.pages.setByte(i, quint8(255 - i));
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(link.WriteToTraction());
        QCOMPARE(unit.memory, bytes(host.pages));
        QCOMPARE(host.lastStatus, QStringLiteral("Traction memory written OK"));
        QCOMPARE(unit.received.left(5), QByteArray("\x1bO\x1b\x1bW"));
        QCOMPARE(unit.received.mid(5, 1), QByteArray("Y"));
        QCOMPARE(unit.received.mid(6, 256), bytes(host.pages));
        QCOMPARE(unit.received.mid(262), QByteArray("EW\x1b"));

        // Read back what was written.
        host.image = SettingsImage();
        QVERIFY(link.ReadFromTraction());
        QCOMPARE(bytes(host.image), bytes(host.pages));
    }

    void versionKeepsAtMostTenBytes_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("7") << QByteArray("V 1.2.3") << QByteArray("V 1.2.3");
        QTest::newRow("10") << QByteArray("V 10.20.30") << QByteArray("V 10.20.30");
        QTest::newRow("12") << QByteArray("V 10.20.30xy") << QByteArray("V 10.20.30");
    }
    void versionKeepsAtMostTenBytes()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, kept);
        BenchUnit unit;
        unit.version = reply;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(link.TractionFirmwareVersion());
        QCOMPARE(link.state().firmwareVersionText(), kept);
        QCOMPARE(host.version, QString::fromLatin1(kept));
        QCOMPARE(link.Comm1().InputCount(), 0);
    }

    void silentUnitFailsAndLeavesTheImage()
    {
        BenchUnit unit;
        unit.silent = true;
        RecorderHost host;
        const SettingsImage before = host.image;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!link.ReadFromTraction());
        QVERIFY(clock.elapsed() >= 2400 && clock.elapsed() < 6000);
        QCOMPARE(host.lastStatus, QStringLiteral("Error : reading traction memory"));
        QVERIFY(host.lastStatusError);
        QVERIFY(host.image == before);
        QVERIFY(!host.events.contains(QStringLiteral("fill")));
        QVERIFY(!host.locked && !host.modified && !host.settingsLoaded);
        QCOMPARE(link.state().FirmwareVersion[0], quint8(0));
        // Quiet at once, one unanswered ESC, the 'E' fallback and one more ESC, then 'O'.
        QCOMPARE(unit.received, QByteArray("\x1b" "E\x1bO"));
    }

    void partialImageIsNotCopied()
    {
        BenchUnit unit;
        unit.imageBytes = 100;
        RecorderHost host;
        const SettingsImage before = host.image;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(!link.ReadFromTraction());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : reading traction memory"));
        QVERIFY(host.image == before);
        QVERIFY(!host.locked && !host.modified);
    }

    void writeWithoutUploadedOkStopsBeforeTheSetupMenu()
    {
        BenchUnit unit;
        unit.uploadedOk = false;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(!link.WriteToTraction());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : writing traction memory"));
        QCOMPARE(unit.received.size(), 5 + 1 + 256);  // no 'E', no final 'W'
        QVERIFY(!host.locked && !host.modified);
    }

    void pageEntryThatIsNoNumberSendsNothing()
    {
        BenchUnit unit;
        RecorderHost host;
        host.pagesConvert = false;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        QVERIFY(!link.WriteToTraction());
        link.waits().Delay_ms(50);
        QVERIFY(unit.received.isEmpty());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : writing traction memory"));
        QVERIFY(!host.locked);
    }

    void talkingUnitGetsADAfterEachBusyWindow()
    {
        BenchUnit unit;
        RecorderHost host;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.pty.slavePath));
        // A screen that keeps printing for about 600 ms.
        QTimer stream;
        int lines = 0;
        QObject::connect(&stream, &QTimer::timeout, [&] {
            if (++lines > 30)
                stream.stop();
            else
                unit.pty.write("Wheel Speed 12 12 13 12\n\r");
        });
        stream.start(20);
        QVERIFY(link.sequences().RootMenu());
        const QByteArray d = unit.received.left(unit.received.indexOf('\x1b'));
        QVERIFY2(d.size() >= 2 && d.count('D') == d.size(), d.constData());
        QCOMPARE(unit.received.mid(d.size()), QByteArray("\x1b"));
    }

    void commandLineReadSavesOnlyACompleteImage()
    {
        BenchUnit unit;
        QByteArray saved;
        const auto save = [&](const SettingsImage &image, QString *) {
            saved = image.toByteArray();
            return true;
        };
        QCOMPARE(LinkCommands::read(unit.pty.slavePath, save), 0);
        QCOMPARE(saved, unit.memory);

        saved.clear();
        unit.imageBytes = 200;
        QCOMPARE(LinkCommands::read(unit.pty.slavePath, save), 1);
        QVERIFY(saved.isEmpty());

        SettingsImage image;
        image.setByte(17, 0x42);
        QCOMPARE(LinkCommands::write(unit.pty.slavePath, image), 0);
        QCOMPARE(unit.memory, image.toByteArray());
        QCOMPARE(LinkCommands::read(QStringLiteral("COM97"), save), 1);
    }

    void closingTheLinkDuringAWaitUnwindsQuietly()
    {
        BenchUnit unit;
        unit.silent = true;
        RecorderHost host;
        auto *link = new TractionLink(host);
        QVERIFY(link->Comm1().open(unit.pty.slavePath));
        QTimer::singleShot(300, [&] { delete link; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!link->ReadFromTraction());
        QVERIFY(clock.elapsed() < 1500);
        QVERIFY(host.locked);  // nothing after the wait touched the host
    }
};

QTEST_GUILESS_MAIN(TestSequences)
#include "tst_sequences.moc"
