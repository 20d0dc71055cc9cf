// tractionctl's misfire test and terminal as a user or a script runs them, against the simulated unit.
#include "SimUnit.h"
#include "ToolRun.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// tractionctl on a pseudo-terminal of its own, as in a terminal window.
class TtySession {
public:
    explicit TtySession(const QStringList &args, const QString &configDir)
    {
        QList<QByteArray> argv{QByteArray(TRACTIONCTL_PATH)};
        for (const QString &a : args)
            argv << a.toLocal8Bit();
        const QByteArray config = "XDG_CONFIG_HOME=" + configDir.toLocal8Bit();
        m_pid = forkpty(&m_master, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            std::vector<char *> raw;
            for (QByteArray &a : argv)
                raw.push_back(a.data());
            raw.push_back(nullptr);
            putenv(const_cast<char *>(config.constData()));
            execv(raw[0], raw.data());
            _exit(127);
        }
    }
    ~TtySession()
    {
        if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_master >= 0)
            ::close(m_master);
    }
    bool started() const { return m_pid > 0 && m_master >= 0; }
    void type(const QByteArray &keys) { QCOMPARE(::write(m_master, keys.constData(), keys.size()), keys.size()); }
    // Reads until 'wanted' has been seen or ms passed; true when seen.
    bool waitFor(const QByteArray &wanted, int ms = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!output.contains(wanted) && clock.elapsed() < ms) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                char buffer[512];
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                output.append(buffer, int(n));
            }
        }
        return output.contains(wanted);
    }
    // The exit status, or -1 when it did not end within ms.
    int exitStatus(int ms = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        int status = 0;
        while (clock.elapsed() < ms) {
            waitFor("\x01never", 50);  // keeps draining, so the tool never blocks on its output
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
        }
        return -1;
    }

    QByteArray output;

private:
    int m_master = -1;
    pid_t m_pid = -1;
};

}  // namespace

class TestTractionctlTerminal : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString config() const { return m_dir.filePath(QStringLiteral("config")); }
    ToolRun run(const QStringList &args)
    {
        return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path(), {"XDG_CONFIG_HOME=" + config()}, 60000);
    }

private slots:
    void testRunsTheChosenMisfireTest()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        const ToolRun r = run({"test", "--port", unit.path, "--type", "Soft Cut", "--time", "0.5", "--progress"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains(QStringLiteral("Starting Test")), qPrintable(r.err));
        QVERIFY2(r.err.trimmed().endsWith(QStringLiteral("Test Ended OK")), qPrintable(r.err));
        QTRY_VERIFY2(unit.received().startsWith("EDS0") && rootMenuBytes(unit.received().mid(4)),
                     unit.received().toHex(' ').constData());

        SimUnit deaf({"--fast", "--no-setup-menu"});
        const ToolRun f = run({"test", "--port", deaf.path, "--time", "0.5"});
        QCOMPARE(f.status, 1);
        QVERIFY2(f.err.trimmed().endsWith(QStringLiteral("Error : Test Failed")), qPrintable(f.err));
    }

    void aWrongTextListsTheValidOnesAndSendsNothing()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        const ToolRun t = run({"test", "--port", unit.path, "--type", "Hard cut"});
        QCOMPARE(t.status, 2);
        QVERIFY2(t.err.contains(QStringLiteral(
                     "Unknown test type \"Hard cut\"; one of: \"Sequence 1 Misfire\", \"Sequence 2 Misfire\", "
                     "\"Sequence 3 Misfire\", \"Integral Settings\", \"Soft Cut\", \"Hard Cut\"")),
                 qPrintable(t.err));
        const ToolRun s = run({"test", "--port", unit.path, "--time", "10"});
        QCOMPARE(s.status, 2);
        QVERIFY2(s.err.contains(QStringLiteral("one of: \"0.5\", \"1.0\", \"5.0\", \"10.0\"")), qPrintable(s.err));
        QTest::qWait(100);
        QCOMPARE(unit.received(), QByteArray());
    }

    void terminalOnPipesGivesPlainLines()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TRACTIONCTL_PATH), {"terminal", "--port", unit.path});
        QVERIFY(p.waitForStarted());
        // Lower case types the unit's upper-case commands, as on the window's keyboard.
        p.write("e");
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray out = p.readAllStandardOutput();
        QVERIFY2(out.contains("\n*** SETUP MENU ***\nW Wheel speeds\n"), out.constData());
        QVERIFY(!out.contains('\r'));
        QTRY_COMPARE(unit.received(), QByteArray("E"));
    }

    void terminalOnATtyTakesEachKeyAtOnceUntilCtrlBracket()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        TtySession tty({"terminal", "--port", unit.path}, config());
        QVERIFY(tty.started());
        QVERIFY2(tty.waitFor("Ctrl+] ends."), tty.output.constData());
        tty.type("e");  // no Enter: raw mode sends it at once
        QVERIFY2(tty.waitFor("*** SETUP MENU ***\r\n"), tty.output.constData());
        tty.type("\x1b");
        QVERIFY2(tty.waitFor("Running\r\n"), tty.output.constData());
        tty.type("\x1b[A\x1d");
        QCOMPARE(tty.exitStatus(), 0);
        QTRY_COMPARE(unit.received(), QByteArray("E\x1b"));
    }
};

QTEST_GUILESS_MAIN(TestTractionctlTerminal)
#include "tst_tractionctl_terminal.moc"
