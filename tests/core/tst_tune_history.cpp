// The tune history on real files: what is kept, in which order, how many, and what it gives back;
// and tractionctl history as a script runs it.
#include "TestOptions.h"
#include "ToolRun.h"
#include "settings/TuneHistory.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

SettingsImage imageNumbered(int n)
{
    SettingsImage image = SettingsImage::defaults();
    image.setWord(18, quint16(1000 + n));  // the motor speed box
    return image;
}

}  // namespace

class TestTuneHistory : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

    QString historyFolder() const { return m_config.filePath(QStringLiteral("Veltorane/history")); }
    ToolRun tool(const QStringList &args)
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_config.path(),
                       QStringList{"XDG_CONFIG_HOME=" + m_config.path()}, 60000);
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }
    void init() { QDir(historyFolder()).removeRecursively(); }

    void keepsEachCopyWithItsTimeVersionAndAction()
    {
        TuneHistory history = TuneHistory::inConfigFolder(testOptions());
        QCOMPARE(history.folder(), historyFolder());
        QVERIFY(history.entries().isEmpty());
        const QDateTime t0 = QDateTime::currentDateTime();
        QVERIFY(history.add(TuneHistory::Event::Read, imageNumbered(1), "TCU 2.10", "/dev/ttyUSB0", nullptr, t0));
        QVERIFY(history.add(TuneHistory::Event::Write, imageNumbered(2), "TCU 2.10", "", nullptr, t0));  // same ms
        QVERIFY(history.add(TuneHistory::Event::Save, imageNumbered(3), "", "/tmp/track.dat", nullptr, t0.addSecs(5)));

        const auto list = history.entries();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].event, TuneHistory::Event::Read);
        QCOMPARE(list[0].version, QStringLiteral("TCU 2.10"));
        QCOMPARE(list[0].detail, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(list[0].time.toMSecsSinceEpoch(), t0.toMSecsSinceEpoch());
        QCOMPARE(list[1].image, imageNumbered(2));
        QCOMPARE(list[2].what(), QStringLiteral("saved to track.dat"));
        QCOMPARE(list[2].image, imageNumbered(3));
        // Numbered as users see them: 1 the newest.
        QCOMPARE(history.entry(1)->image, imageNumbered(3));
        QCOMPARE(history.entry(3)->image, imageNumbered(1));
        QString error;
        QVERIFY(!history.entry(4, &error));
        QCOMPARE(error, QStringLiteral("no entry 4: the history holds 1 to 3"));
        QVERIFY(!history.entry(0));
    }

    void theOldestGoBeyondTheBound()
    {
        TuneHistory history = TuneHistory::inConfigFolder(testOptions());
        const QDateTime t0 = QDateTime::currentDateTime();
        const int total = TuneHistory::MaxEntries + 5;
        for (int n = 1; n <= total; ++n)
            QVERIFY(history.add(TuneHistory::Event::Save, imageNumbered(n), "", "f.dat", nullptr, t0.addSecs(n)));
        const auto list = history.entries();
        QCOMPARE(list.size(), TuneHistory::MaxEntries);
        QCOMPARE(list.first().image, imageNumbered(6));
        QCOMPARE(list.last().image, imageNumbered(total));
        QCOMPARE(QDir(historyFolder()).entryList(QDir::Files).size(), TuneHistory::MaxEntries);
    }

    void aDamagedOrForeignFileIsLeftOutAndAlone()
    {
        TuneHistory history = TuneHistory::inConfigFolder(testOptions());
        QVERIFY(history.add(TuneHistory::Event::Read, imageNumbered(1), "v", "", nullptr));
        QDir().mkpath(historyFolder());
        const QString junk = historyFolder() + "/00000000-000000-000-00.tune";
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\"format\":\"veltorane-tune-1\",\"event\":\"read\",\"image\":\"00ff\"}");
        }
        const auto list = history.entries();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].image, imageNumbered(1));
        QVERIFY(QFile::exists(junk));
    }

    void aFolderThatCannotBeMadeSaysSo()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("history"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the folder would be
        blocker.close();
        TuneHistory history(dir.filePath("history"));
        QString error;
        QVERIFY(!history.add(TuneHistory::Event::Read, imageNumbered(1), "", "", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(history.entries().isEmpty());
    }

    void tractionctlListsShowsAndRestores()
    {
        TuneHistory history = TuneHistory::inConfigFolder(testOptions());
        const QDateTime t0 = QDateTime::currentDateTime();
        QVERIFY(history.add(TuneHistory::Event::Read, imageNumbered(1), "TCU 2.10", "COM3", nullptr, t0));
        QVERIFY(history.add(TuneHistory::Event::Save, imageNumbered(2), "TCU 2.10", "/x/track.dat", nullptr,
                            t0.addSecs(60)));

        const ToolRun list = tool({"history", "list"});
        QCOMPARE(list.status, 0);
        const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith("   1  ") && lines[0].contains("saved to track.dat") &&
                     lines[0].endsWith("TCU 2.10"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith("   2  " + t0.toString("yyyy-MM-dd HH:mm:ss")) &&
                     lines[1].contains("read from the unit"),
                 qPrintable(lines[1]));

        const ToolRun show = tool({"history", "show", "2"});
        QCOMPARE(show.status, 0);
        QVERIFY2(show.out.contains("Action   read from the unit\nVersion  TCU 2.10\nPort     COM3\n"),
                 qPrintable(show.out));
        QVERIFY2(show.out.contains(QRegularExpression("Speed +10\\.01 Kmh")), qPrintable(show.out));

        const QString out = m_config.filePath("old.dat");
        QCOMPARE(tool({"history", "restore", "2", out}).status, 0);
        QCOMPARE(fileBytes(out), imageNumbered(1).toByteArray());
        // Restoring over a file keeps the file as its backup.
        QCOMPARE(tool({"history", "restore", "1", out}).status, 0);
        QCOMPARE(fileBytes(out), imageNumbered(2).toByteArray());
        QCOMPARE(fileBytes(m_config.filePath("old.BAK")), imageNumbered(1).toByteArray());

        const ToolRun missing = tool({"history", "restore", "3", out});
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.err.contains("no entry 3: the history holds 1 to 2"), qPrintable(missing.err));
        QCOMPARE(fileBytes(out), imageNumbered(2).toByteArray());
        QCOMPARE(tool({"history", "show"}).status, 2);
        QCOMPARE(tool({"history", "list", "extra"}).status, 2);
    }
};

QTEST_MAIN(TestTuneHistory)
#include "tst_tune_history.moc"
