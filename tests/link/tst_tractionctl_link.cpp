// tractionctl's version, read and write as a script would run them, against the simulated unit.
#include "SimUnit.h"
#include "PtyPair.h"
#include "ToolRun.h"
#include "settings/SettingsImage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray pattern(int salt)
{
    QByteArray b(256, '\0');
    for (int i = 0; i < 256; ++i)
        b[i] = char((i * 7 + salt) & 0xFF);
    return b;
}

}  // namespace

class TestTractionctlLink : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args, const QStringList &env = {})
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path(),
                       QStringList{"XDG_CONFIG_HOME=" + m_dir.filePath(QStringLiteral("config"))} + env, 60000);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void versionPrintsTheUnitsText()
    {
        SimUnit unit({"--fast", "--version-text", "TCU 9.87"});
        QVERIFY(unit.ok());
        const ToolRun r = run({"version", "--port", unit.path});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("TCU 9.87\n"));

        SimUnit silent({"--fast", "--silent"});
        const ToolRun s = run({"version", "--port", silent.path});
        QCOMPARE(s.status, 1);
        QVERIFY(s.out.isEmpty());
        QVERIFY2(s.err.contains(QStringLiteral("Error : ")), qPrintable(s.err));
    }

    void readGivesTheUnitsMemoryAndKeepsTheOldFileAsBackup()
    {
        const QByteArray memory = pattern(3);
        SimUnit unit({"--fast"}, memory);
        QVERIFY(unit.ok());
        const QString out = path(QStringLiteral("read.dat"));
        writeBytes(out, pattern(99));

        const ToolRun r = run({"read", out, "--port", unit.path, "--progress"});
        QCOMPARE(r.status, 0);
        QCOMPARE(fileBytes(out), memory);
        QCOMPARE(fileBytes(path(QStringLiteral("read.BAK"))), pattern(99));
        QVERIFY2(r.err.contains(QStringLiteral("Reading traction memory")), qPrintable(r.err));
        QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Traction memory read OK")), qPrintable(r.err));
    }

    void writeChangesTheUnitsMemory()
    {
        SimUnit unit({"--fast"}, pattern(1));
        QVERIFY(unit.ok());
        const QString in = path(QStringLiteral("tune.dat"));
        SettingsImage image;
        image.setByte(18, 0x12);
        image.setByte(200, 0x34);
        writeBytes(in, image.toByteArray());

        const ToolRun r = run({"write", in, "--no-verify", "--port", unit.path});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Traction memory written OK")), qPrintable(r.err));
        QCOMPARE(unit.memory(), image.toByteArray());
        // Exactly the file's bytes went out after 'W' 'Y'.
        const QByteArray sent = unit.received();
        const qsizetype at = sent.indexOf("WY");
        QVERIFY(at > 0);
        QCOMPARE(sent.mid(at + 2, 256), image.toByteArray());

        // The program's own default image, without a file.
        const ToolRun d = run({"write", "--default", "--port", unit.path});
        QCOMPARE(d.status, 0);
        QCOMPARE(unit.memory(), SettingsImage().toByteArray());
    }

    void aFailingUnitLeavesTheFileAlone_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::newRow("silent") << QStringList{"--fast", "--silent"};
        QTest::newRow("partial image") << QStringList{"--fast", "--partial-image", "200"};
        QTest::newRow("no version") << QStringList{"--fast", "--no-version"};
    }
    void aFailingUnitLeavesTheFileAlone()
    {
        QFETCH(QStringList, flags);
        SimUnit unit(flags, pattern(5));
        QVERIFY(unit.ok());
        const QString out = path(QStringLiteral("keep.dat"));
        writeBytes(out, pattern(42));
        QFile::remove(path(QStringLiteral("keep.BAK")));

        const ToolRun r = run({"read", out, "--port", unit.path});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Error : reading traction memory")), qPrintable(r.err));
        QCOMPARE(fileBytes(out), pattern(42));
        QVERIFY(!QFile::exists(path(QStringLiteral("keep.BAK"))));
    }

    void portsAreNamedByPathOrNumber()
    {
        // COMn is looked up among the links of the configuration folder.
        SimUnit unit({"--fast"}, pattern(8));
        QVERIFY(unit.ok());
        const QString ports = path(QStringLiteral("config/Veltorane/ports"));
        QVERIFY(QDir().mkpath(ports));
        QVERIFY(QFile::link(unit.path, ports + QStringLiteral("/com4")));
        const QString out = path(QStringLiteral("com4.dat"));
        QCOMPARE(run({"read", out, "--port", "COM4"}).status, 0);
        QCOMPARE(fileBytes(out), pattern(8));

        const ToolRun missing = run({"version", "--port", "COM9"});
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("Specified device not found (COM9).")), qPrintable(missing.err));
        const ToolRun gone = run({"version", "--port", path(QStringLiteral("no-such-tty"))});
        QCOMPARE(gone.status, 1);
        QVERIFY2(gone.err.contains(QStringLiteral("Specified device not found")), qPrintable(gone.err));

        // A port the user may not open: how to be let in. Root opens anything, so as root the tool runs as "nobody".
        PtyPair locked;
        QCOMPARE(::chmod(QFile::encodeName(locked.slavePath).constData(), 0), 0);
        const QStringList tool{"version", "--port", locked.slavePath};
        const ToolRun denied =
            ::geteuid() != 0
                ? run(tool)
                : runTool("setpriv",
                          QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", TRACTIONCTL_PATH} + tool,
                          "/");
        QCOMPARE(denied.status, 1);
        QVERIFY2(denied.err.startsWith("Can't open specified device " + locked.slavePath + " (Error 13, "),
                 qPrintable(denied.err));
        QVERIFY2(denied.err.contains("sudo adduser $USER "), qPrintable(denied.err));

        // No port: the usage, and nothing sent or written.
        const ToolRun usage = run({"read", out});
        QCOMPARE(usage.status, 2);
        QVERIFY(usage.err.contains(QStringLiteral("usage: tractionctl read OUT.dat --port")));
    }
};

QTEST_GUILESS_MAIN(TestTractionctlLink)
#include "tst_tractionctl_link.moc"
