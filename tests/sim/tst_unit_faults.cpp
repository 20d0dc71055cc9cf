#include "SimClient.h"

#include "settings/SettingsImage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// True when every byte of `inner` appears in `outer` in order, others between allowed.
bool isSubsequence(const QByteArray &inner, const QByteArray &outer)
{
    qsizetype i = 0;
    for (const char c : outer)
        if (i < inner.size() && inner[i] == c)
            ++i;
    return i == inner.size();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

// The fault flags and odd replies, seen from the cable.
class TestUnitFaults : public QObject {
    Q_OBJECT

private slots:
    void versionTextOfAnyLength_data();
    void versionTextOfAnyLength();
    void silentAnswersNothing();
    void streamNeverPauses();
    void missingAnswers();
    void partialImage();
    void refusedUploadKeepsSettings();
    void alteredWriteStoresOneByteWrong();
    void logUploadStopsAfterBlocks();
    void framesDroppedAndMessages();
    void garbageIsInsertedNotReplacing();
    void hangupEndsTheLine();
    void slowRootKeepsKeysInOrder();
    void logMemoryLasts();
};

void TestUnitFaults::versionTextOfAnyLength_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("1") << QByteArray("V");
    QTest::newRow("7") << QByteArray("TCU 3.1");
    QTest::newRow("10") << QByteArray("TCU V3.12a");
    QTest::newRow("12") << QByteArray("TCU V3.12 rc");
    QTest::newRow("16") << QByteArray("0123456789ABCDEF");
}

void TestUnitFaults::versionTextOfAnyLength()
{
    QFETCH(QByteArray, text);
    SimClient sim({"--version-text", QString::fromLatin1(text), "--exit-after", "20"});
    QVERIFY(sim.ok());
    // All of it and nothing after it, whatever its length.
    QByteArray got = sim.ask("O", 2000, 32);
    got += sim.read(300);
    QCOMPARE(got, text);

    for (const char *bad : {"", "0123456789ABCDEFG"}) {
        QProcess p;
        p.start(QStringLiteral(UNIT_SIM_PATH), {"--version-text", bad});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("1 to 16 bytes"));
    }
}

void TestUnitFaults::silentAnswersNothing()
{
    SimClient sim({"--silent", "--fast", "--exit-after", "20"});
    QVERIFY(sim.ok());
    QCOMPARE(sim.ask("\x1b"
                     "EORMI\r",
                     600),
             QByteArray());
}

void TestUnitFaults::streamNeverPauses()
{
    SimClient sim({"--stream", "--exit-after", "20"});
    QVERIFY(sim.ok());
    // As the program's quiet phase does: 'D' after every 250 ms window that had text.
    for (int window = 0; window < 6; ++window) {
        const QByteArray got = sim.read(250);
        QVERIFY2(!got.isEmpty(), qPrintable(QString("window %1 was quiet").arg(window)));
        QVERIFY(!got.contains("Running"));
        sim.send(window % 2 ? "D" : "\x1b");
    }
}

void TestUnitFaults::missingAnswers()
{
    {
        SimClient sim({"--no-version", "--exit-after", "20"});
        QVERIFY(sim.ok());
        QCOMPARE(sim.ask("O", 2100), QByteArray());
        QCOMPARE(sim.ask("R", SimClient::HangMs, 256).size(), 256);  // the rest still answers
    }
    {
        SimClient sim({"--no-setup-menu", "--exit-after", "20"});
        QVERIFY(sim.ok());
        QCOMPARE(sim.ask("E", 400), QByteArray());
        QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "Running").contains("Running"));
    }
}

void TestUnitFaults::partialImage()
{
    const QByteArray image = SettingsImage::defaults().toByteArray();
    for (const int n : {0, 1, 100, 255}) {
        SimClient sim({"--partial-image", QString::number(n), "--exit-after", "20"});
        QVERIFY(sim.ok());
        const QByteArray got = sim.ask("R", 2000, 256);
        QCOMPARE(got, image.left(n));
        QCOMPARE(sim.read(1300), QByteArray());
    }
}

void TestUnitFaults::refusedUploadKeepsSettings()
{
    QTemporaryDir dir;
    const QString memory = dir.filePath("unit.mem");
    const QByteArray before = SettingsImage::defaults().toByteArray();
    QByteArray image = before;
    image[0] = 0x01, image[200] = '0';
    SimClient sim({"--no-uploaded-ok", "--memory", memory, "--exit-after", "20"});
    QVERIFY(sim.ok());
    sim.send("WY" + image);
    const QByteArray answer = sim.read(SimClient::HangMs, 0, "kept\n\r");
    QVERIFY2(answer.endsWith("kept\n\r"), "it answers, only not with the phrase");
    QVERIFY(!(answer + sim.drain()).contains("ploaded ok"));
    QCOMPARE(sim.ask("R", SimClient::HangMs, 256), before);
    QCOMPARE(fileBytes(memory), before);
}

void TestUnitFaults::alteredWriteStoresOneByteWrong()
{
    QTemporaryDir dir;
    const QString memory = dir.filePath("unit.mem");
    QByteArray image = SettingsImage::defaults().toByteArray();
    image[18] = 0x06, image[140] = '1';
    SimClient sim({"--alter-on-write", "140", "--memory", memory, "--exit-after", "20"});
    QVERIFY(sim.ok());
    sim.send("WY" + image);
    // It claims success all the same, as a unit with a failing memory cell would.
    QVERIFY(sim.read(SimClient::HangMs, 0, "ploaded ok").contains("ploaded ok"));
    sim.drain();
    QByteArray stored = image;
    stored[140] = '0';
    QCOMPARE(sim.ask("R", SimClient::HangMs, 256), stored);
    QCOMPARE(fileBytes(memory), stored);

    QProcess p;
    p.start(QStringLiteral(UNIT_SIM_PATH), {"--alter-on-write", "256"});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("0 to 255"));
}

void TestUnitFaults::logUploadStopsAfterBlocks()
{
    for (const int blocks : {0, 1, 300}) {
        SimClient sim({"--stop-after-blocks", QString::number(blocks), "--fast", "--exit-after", "30"});
        QVERIFY(sim.ok());
        QByteArray got = sim.ask("I", 2000, 131072);
        got += sim.read(1500);
        QCOMPARE(got.size(), blocks * 256);
    }
}

void TestUnitFaults::framesDroppedAndMessages()
{
    {
        SimClient sim({"--drop-frame-every", "3", "--exit-after", "20"});
        QVERIFY(sim.ok());
        // A dropped frame is one not there after a second; a late one would show in the next.
        QList<qsizetype> sizes;
        for (int i = 0; i < 7; ++i) {
            const qsizetype frame = sim.ask("M", 1000, 6).size();
            sizes << frame + sim.read(50).size();
        }
        QCOMPARE(sizes, (QList<qsizetype>{6, 6, 0, 6, 6, 0, 6}));
    }
    {
        SimClient sim({"--message-every", "2", "--exit-after", "20"});
        QVERIFY(sim.ok());
        QList<QByteArray> answers;
        for (int i = 0; i < 6; ++i) {
            // As the program takes them: six bytes, and the rest of a text they begin.
            QByteArray answer = sim.ask("M", SimClient::HangMs, 6);
            if (answer.startsWith("Launch"))
                answer += sim.read(SimClient::HangMs, 17);
            else if (answer.startsWith("Calibr"))
                answer += sim.read(SimClient::HangMs, 29);
            answers << answer + sim.read(100);
        }
        for (const int frame : {0, 2, 4})
            QCOMPARE(answers[frame].size(), 6);
        QCOMPARE(answers[1].size(), 23);
        QVERIFY(answers[1].startsWith("Launch"));
        QCOMPARE(answers[3].size(), 35);
        QVERIFY(answers[3].startsWith("Calibr"));
        QCOMPARE(answers[5], answers[1]);
    }
}

void TestUnitFaults::garbageIsInsertedNotReplacing()
{
    const QByteArray image = SettingsImage::defaults().toByteArray();
    SimClient sim({"--garbage", "0.5", "--fast", "--seed", "3", "--exit-after", "20"});
    QVERIFY(sim.ok());
    QByteArray got = sim.ask("R", SimClient::HangMs, 256);
    got += sim.drain(300);
    // About one inserted byte for each real one.
    QVERIFY2(got.size() > 256 + 150 && got.size() < 256 + 450, qPrintable(QString::number(got.size())));
    QVERIFY(isSubsequence(image, got));
}

void TestUnitFaults::hangupEndsTheLine()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyUnit");
    // Started before the simulator, so its second cannot be over before this one is.
    QElapsedTimer clock;
    clock.start();
    SimClient sim({"--hangup-after", "1", "--link", link, "--exit-after", "20"});
    QVERIFY(sim.ok());
    QVERIFY(sim.ask("\x1b", SimClient::HangMs, 0, "Running").contains("Running"));
    sim.read(SimClient::HangMs);
    QVERIFY(sim.hungUp);
    QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(sim.process().waitForFinished(3000));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestUnitFaults::slowRootKeepsKeysInOrder()
{
    SimClient sim({"--slow-root", "1", "--fast", "--exit-after", "20"});
    QVERIFY(sim.ok());
    // Nothing within the time the program gives an ESC (the unit's clock cannot run ahead of ours);
    // then the root screen, and only after it the answer to the key sent meanwhile.
    QCOMPARE(sim.ask("\x1b", 300), QByteArray());
    sim.send("O");
    const QByteArray got = sim.read(SimClient::HangMs, 0, "TCU V3.12");
    QVERIFY2(got.contains("Running") && got.indexOf("Running") < got.indexOf("TCU V3.12"), got.constData());
    // Keys other than ESC are answered at once.
    QCOMPARE(sim.ask("O", 2000, 9), QByteArray("TCU V3.12"));
}

void TestUnitFaults::logMemoryLasts()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("logger.mem");
    QByteArray pattern(131072, 0);
    for (int i = 0; i < pattern.size(); ++i)
        pattern[i] = char(i * 7 + i / 256);
    {
        QFile f(log);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(pattern);
    }
    {
        SimClient sim({"--log-memory", log, "--fast", "--exit-after", "30"});
        QVERIFY(sim.ok());
        QCOMPARE(sim.ask("I", 5000, 131072), pattern);
        // Clear it through the menu.
        QVERIFY(sim.ask("E", SimClient::HangMs, 0, "SETUP MENU").contains("SETUP MENU"));
        QVERIFY(sim.ask("L", SimClient::HangMs, 0, "Data Loggi").contains("Data Loggi"));
        QVERIFY(sim.ask("C", SimClient::HangMs, 0, "earing RAM").contains("earing RAM"));
        QVERIFY(sim.read(SimClient::HangMs + 5000, 0, "Data Loggi").contains("Data Loggi"));
    }
    QCOMPARE(fileBytes(log), QByteArray(131072, 0));

    // Logging enabled in the settings: samples recorded before a restart are still there after it.
    QByteArray image = SettingsImage::defaults().toByteArray();
    image[38] = char(0xFF);
    QByteArray first;
    {
        SimClient sim({"--log-memory", log, "--fast", "--time-scale", "20", "--exit-after", "30"});
        QVERIFY(sim.ok());
        QVERIFY(sim.ask("WY" + image, SimClient::HangMs, 0, "ploaded ok").contains("ploaded ok"));
        sim.drain();
        QTest::qWait(1000);  // 20 simulated seconds
        first = sim.ask("I", 5000, 131072);
        QCOMPARE(first.size(), 131072);
        sim.stop();
    }
    int samples = 0;
    for (int k = 0; k < 21845; ++k)
        samples += first.mid(2 + 6 * k, 6) != QByteArray(6, 0);
    QVERIFY2(samples > 1000, qPrintable(QString::number(samples)));
    const QByteArray kept = fileBytes(log);
    QCOMPARE(kept.size(), 131072);
    // It went on recording after the upload, so it holds at least as much, the same at the start.
    QVERIFY(kept.mid(2, 6 * 1000) == first.mid(2, 6 * 1000));
    QVERIFY(kept.mid(2 + 6 * samples, 6) != QByteArray(6, 0) || samples >= 21845);
}

QTEST_GUILESS_MAIN(TestUnitFaults)
#include "tst_unit_faults.moc"
