#include "SimClient.h"

#include "settings/SettingsImage.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

// The unit's side of every exchange, seen from the cable.
class TestUnitSim : public QObject {
    Q_OBJECT

private slots:
    void commandsAnswerWithinBounds_data();
    void commandsAnswerWithinBounds();
    void writeSurvivesRestart();
    void linksComeAndGo();
    void traceRecordsBothDirections();
    void helpExplainsEveryFlag();
    void badCommandLineIsRefused();
};

void TestUnitSim::commandsAnswerWithinBounds_data()
{
    QTest::addColumn<QString>("rate");
    QTest::newRow("paced") << "--pace";
    QTest::newRow("fast") << "--fast";
}

void TestUnitSim::commandsAnswerWithinBounds()
{
    QFETCH(QString, rate);
    SimClient sim({rate, "--exit-after", "60"});
    QVERIFY2(sim.ok(), qPrintable(sim.path));

    QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "Running").contains("Running"));
    sim.drain();
    QCOMPARE(sim.read(300), QByteArray());  // the root screen is quiet

    // The tightest bound of the unit: "Running" within 100 ms of an ESC. Judged on the median of
    // many, since a single answer may wait on a busy machine for reasons of its own.
    QList<qint64> rounds;
    for (int i = 0; i < 15; ++i) {
        QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "Running").contains("Running"));
        rounds << sim.lastMs;
        sim.drain(30);
    }
    std::sort(rounds.begin(), rounds.end());
    QVERIFY2(rounds[rounds.size() / 2] < 100, qPrintable(QString::number(rounds[rounds.size() / 2])));
    sim.drain();

    const QByteArray version = sim.ask("O", 2000, 10);
    QVERIFY2(sim.read(200).isEmpty(), "nothing follows the version");
    QVERIFY(version.size() >= 7 && version.size() <= 10);

    const QByteArray image = sim.ask("R", SimClient::HangMs, 256);
    QCOMPARE(image.size(), 256);
    QCOMPARE(image, SettingsImage::defaults().toByteArray());
    QVERIFY(sim.lastMs < 1250);

    QCOMPARE(sim.ask("M", 1000, 6).size(), 6);
    QCOMPARE(sim.read(100), QByteArray());

    // Writing back what was read: "ploaded ok" within 1 s of the last image byte.
    sim.send("WY" + image);
    QVERIFY(sim.read(SimClient::HangMs, 0, "ploaded ok").contains("ploaded ok"));
    sim.drain();
    QCOMPARE(sim.ask("R", SimClient::HangMs, 256), image);

    // The setup menu and its screens.
    QVERIFY(sim.ask("E", SimClient::HangMs, 0, "SETUP MENU").contains("SETUP MENU"));
    QVERIFY(sim.ask("W", SimClient::HangMs, 0, "Wheel Spee").contains("Wheel Spee"));
    QByteArray streamed;
    QElapsedTimer streaming;
    streaming.start();
    while (streamed.count("\n\r") < 2 && streaming.elapsed() < SimClient::HangMs)
        streamed += sim.read(100);
    QVERIFY2(streamed.count("\n\r") >= 2, "the wheel-speed screen keeps printing");
    sim.send("D");
    sim.drain();
    QCOMPARE(sim.read(400), QByteArray());  // 'D' stopped it
    QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "SETUP MENU").contains("SETUP MENU"));

    QVERIFY(sim.ask("L", SimClient::HangMs, 0, "Data Loggi").contains("Data Loggi"));
    QVERIFY(sim.ask("C", SimClient::HangMs, 0, "earing RAM").contains("earing RAM"));
    QVERIFY(sim.read(SimClient::HangMs + 5000, 0, "Data Loggi").contains("Data Loggi"));
    sim.drain();
    QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "SETUP MENU").contains("SETUP MENU"));

    QVERIFY(sim.ask("D", SimClient::HangMs, 0, "Diagnostic").contains("Diagnostic"));
    for (const char test : QByteArray("123ISH")) {
        QVERIFY2(sim.ask(QByteArray(1, test), SimClient::HangMs, 0, "Diagnostic").contains("Diagnostic"), &test);
        QVERIFY(sim.ask("0", SimClient::HangMs, 0, "Diagnostic").contains("Diagnostic"));
        sim.drain();
    }
    // ESC climbs to the root.
    sim.ask("\x1b", SimClient::HangMs, 0, "SETUP MENU");
    QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "Running").contains("Running"));
    sim.drain();

    // The whole log at the real rate takes about 68 s: paced, only its first blocks are timed.
    if (rate == "--fast") {
        const QByteArray log = sim.ask("I", 90000, 131072);
        QCOMPARE(log.size(), 131072);
        QCOMPARE(sim.read(300), QByteArray());
    } else {
        // No faster than the line: 1024 bytes at 19200 baud take 533 ms. Delays only add to that.
        QElapsedTimer clock;
        clock.start();
        sim.send("I");
        for (int block = 0; block < 4; ++block)
            QCOMPARE(sim.read(SimClient::HangMs, 256).size(), 256);
        QVERIFY2(clock.elapsed() >= 4 * 256 * 10 * 1000 / 19200, qPrintable(QString::number(clock.elapsed())));
    }
}

void TestUnitSim::writeSurvivesRestart()
{
    QTemporaryDir dir;
    const QString memory = dir.filePath("unit.mem");
    QByteArray image = SettingsImage::defaults().toByteArray();
    image[10] = 0x12, image[11] = 0x34, image[255] = char(0xA5);
    {
        SimClient sim({"--memory", memory, "--exit-after", "30"});
        QVERIFY(sim.ok());
        QCOMPARE(QFileInfo(memory).size(), 256);  // created from the default image
        QVERIFY(sim.ask("WY" + image, SimClient::HangMs, 0, "ploaded ok").contains("ploaded ok"));
        sim.drain();
        QCOMPARE(sim.ask("R", SimClient::HangMs, 256), image);
    }
    SimClient again({"--memory", memory, "--exit-after", "30"});
    QVERIFY(again.ok());
    QCOMPARE(again.ask("R", SimClient::HangMs, 256), image);

    // A write that stops half way keeps the settings the unit had.
    again.send("WY" + image.left(100));
    QVERIFY(again.read(SimClient::HangMs, 0, "kept").contains("kept"));
    QVERIFY(!again.drain().contains("ploaded ok"));
    QCOMPARE(again.ask("R", SimClient::HangMs, 256), image);
}

void TestUnitSim::linksComeAndGo()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyUnit");
    const QString com = dir.filePath("Veltorane/ports/com7");
    SimClient sim({"--link", link, "--com", "7", "--exit-after", "30"}, {"XDG_CONFIG_HOME=" + dir.path()});
    QVERIFY(sim.ok());
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.path);
    QCOMPARE(QFileInfo(com).symLinkTarget(), sim.path);

    // The program closing and reopening its port does not end the unit.
    sim.closeDevice();
    const int again = ::open(link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(again >= 0);
    sim.fd = again;
    QVERIFY(sim.ask("\x1b", 200, 0, "Running").contains("Running"));

    QCOMPARE(sim.stop(), 0);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo(com).isSymLink());
}

void TestUnitSim::traceRecordsBothDirections()
{
    QTemporaryDir dir;
    const QString trace = dir.filePath("wire.txt");
    {
        SimClient sim({"--trace", trace, "--fast", "--exit-after", "30"});
        QVERIFY(sim.ok());
        QCOMPARE(sim.ask("O", 2000, 9), QByteArray("TCU V3.12"));
        sim.stop();
    }
    QFile f(trace);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QVERIFY(lines.size() >= 11);
    QVERIFY2(lines[0].contains(" in 4F O"), lines[0].constData());
    QVERIFY2(lines[1].contains(" out 54 T"), lines[1].constData());
    bool okMs = false;
    lines[1].split(' ').first().toDouble(&okMs);
    QVERIFY(okMs);
}

void TestUnitSim::helpExplainsEveryFlag()
{
    QProcess p;
    p.start(QStringLiteral(UNIT_SIM_PATH), {"--help"});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray help = p.readAllStandardOutput();
    for (const char *flag : {"--link",
                             "--com",
                             "--pace",
                             "--fast",
                             "--exit-after",
                             "--memory",
                             "--log-memory",
                             "--trace",
                             "--silent",
                             "--stream",
                             "--no-version",
                             "--partial-image",
                             "--no-uploaded-ok",
                             "--no-setup-menu",
                             "--alter-on-write",
                             "--stop-after-blocks",
                             "--drop-frame-every",
                             "--garbage",
                             "--hangup-after",
                             "--slow-root",
                             "--help"})
        QVERIFY2(help.contains(QByteArray("  ") + flag + ' '), flag);
}

void TestUnitSim::badCommandLineIsRefused()
{
    QTemporaryDir dir;
    const QString notMemory = dir.filePath("short.mem");
    QFile f(notMemory);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("too short");
    f.close();
    for (const QStringList &args : {QStringList{"--bogus"}, QStringList{"--com", "x"}, QStringList{"--garbage", "2"},
                                    QStringList{"--memory", notMemory}}) {
        QProcess p;
        p.start(QStringLiteral(UNIT_SIM_PATH), args);
        QVERIFY(p.waitForFinished(5000));
        QVERIFY2(p.exitCode() != 0, qPrintable(args.join(' ')));
        QVERIFY(!p.readAllStandardError().isEmpty());
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("too short"));  // a bad memory file is left as it was
}

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unit_sim.moc"
