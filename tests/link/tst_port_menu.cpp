// The "COM Ports" submenu and the choice of port, from a directory the test fills.
#include "PtyPair.h"
#include "RecorderHost.h"
#include "ScriptedDialogs.h"
#include "link/PortDirectory.h"
#include "link/TractionLink.h"
#include "link/ui/COMPortUnitUnit.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {

class FakeDirectory : public PortDirectory {
public:
    bool missing = false;
    QList<PortEntry> list;
    QSet<QString> failing;  // devices whose probe fails
    bool keyMissing() const override { return missing; }
    QList<PortEntry> entries() const override { return list; }
    int probe(const PortEntry &e) const override { return failing.contains(e.device) ? 2 : 0; }
};

QStringList captions(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << a->text() + (a->isEnabled() ? "" : " (off)") + (a->property("marked").toBool() ? " *" : "");
    return out;
}

} // namespace

class TestPortMenu : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void init()
    {
        QFile::remove(TRegistryRoutines::storeFile());
    }
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }

    void missingKeyListsComOneToSix()
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        FakeDirectory dir;
        dir.missing = true;
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir);
        QMenu options(QStringLiteral("&Options"));
        options.addSeparator();
        form.startUp(&options);
        QCOMPARE(options.actions().first()->menu(), form.PortMenu());
        QCOMPARE(form.PortMenu()->title(), QStringLiteral("COM Ports"));
        QCOMPARE(captions(form.PortMenu()),
                 QStringList({"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6"}));
        QCOMPARE(dialogs.pending(), 1);  // port 1 was listed: no message
        dialogs.clear();
    }

    void configuredPortMissingSaysSo()
    {
        TRegistryRoutines::write(RegistryKeys::CommPort, 3);
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        FakeDirectory dir;
        dir.list = {{"Serial ttyS0", "COM1", "/dev/ttyS0"}};
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir);
        QMenu options;
        form.startUp(&options);
        QCOMPARE(dialogs.lastText(), QStringLiteral("COM 3 is not available"));
    }

    void virtualPortsOffAndThePortInUseMarked()
    {
        PtyPair pty;
        TRegistryRoutines::write(RegistryKeys::CommPort, 2);
        TRegistryRoutines::write(RegistryKeys::AllowVirtualPorts, 0);
        ScriptedDialogs dialogs;
        FakeDirectory dir;
        dir.list = {{"Serial ttyS0", "COM1", "/dev/ttyS0"},
                    {"Serial ttyUSB0", "COM2", pty.slavePath},
                    {"Virtual ports/com7 (/dev/pts/9)", "COM7", "/dev/pts/9"},
                    {"Serial ttyUSB1", "COM4", "/dev/gone"}};
        dir.failing = {"/dev/gone"};
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir);
        QMenu options;
        form.startUp(&options);
        QVERIFY(link.Comm1().active());
        QCOMPARE(link.Comm1().devicePath(), pty.slavePath);
        // The program now holds COM 2: its probe fails, yet it stays enabled and marked.
        dir.failing.insert(pty.slavePath);
        emit form.PortMenu()->aboutToShow();
        QCOMPARE(captions(form.PortMenu()), QStringList({"COM 1", "COM 2 *", "COM 7 (off)", "COM 4 (off)"}));

        // Virtual ports on: port 7 is probed like any other.
        QAction virtualPorts(QStringLiteral("&Virtual Ports"));
        form.AllowVirtualComPortsClick(&virtualPorts);
        QVERIFY(virtualPorts.isChecked());
        QCOMPARE(TRegistryRoutines::read(RegistryKeys::AllowVirtualPorts), 1);
        emit form.PortMenu()->aboutToShow();
        QCOMPARE(captions(form.PortMenu()), QStringList({"COM 1", "COM 2 *", "COM 7", "COM 4 (off)"}));
    }

    void pickingAPortThatFailsKeepsTheStoredOne()
    {
        PtyPair pty;
        TRegistryRoutines::write(RegistryKeys::CommPort, 2);
        ScriptedDialogs dialogs;
        FakeDirectory dir;
        dir.list = {{"Serial a", "COM1", "/dev/no-such-port"}, {"Serial b", "COM2", pty.slavePath},
                    {"Serial c", "COM3", pty.slavePath}};
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir);
        QMenu options;
        form.startUp(&options);
        QVERIFY(link.Comm1().active());

        // The current port: nothing happens.
        form.SelectPort(form.PortMenu()->actions().at(1));
        QVERIFY(link.Comm1().active());

        dialogs.expectError();
        form.SelectPort(form.PortMenu()->actions().at(0));
        QCOMPARE(dialogs.lastText(), QStringLiteral("Specified device not found (/dev/no-such-port)."));
        QVERIFY(!link.Comm1().active());
        QCOMPARE(TRegistryRoutines::read(RegistryKeys::CommPort), 2);
        QCOMPARE(captions(form.PortMenu()).first(), QStringLiteral("COM 1 *"));

        form.SelectPort(form.PortMenu()->actions().at(2));
        QVERIFY(link.Comm1().active());
        QCOMPARE(TRegistryRoutines::read(RegistryKeys::CommPort), 3);
    }

    void linuxDirectoryListsLinksAndKeepsTheirNumbers()
    {
        PtyPair pty;
        QTemporaryDir config;
        QDir(config.path()).mkpath(QStringLiteral("ports"));
        QVERIFY(QFile::link(pty.slavePath, config.path() + QStringLiteral("/ports/com3")));
        QTemporaryDir sys;  // no kernel devices
        LinuxPortDirectory dir(config.path(), sys.path());
        const auto entries = dir.entries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].data, QStringLiteral("COM3"));
        QVERIFY(!entries[0].name.contains(u"Serial"));  // a pseudo-terminal is a virtual port
        QCOMPARE(dir.devicePath(3), pty.slavePath);
        QCOMPARE(dir.probe(entries[0]), 0);
    }
};

QTEST_MAIN(TestPortMenu)
#include "tst_port_menu.moc"
