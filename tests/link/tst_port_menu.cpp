// The "COM Ports" submenu and the choice of port, from a directory the test fills.
#include "FakeTtyTree.h"
#include "PtyPair.h"
#include "RecorderHost.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
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

// "COM1 ttyUSB41 usb-0403:6001-AAA-if00" for each listed kernel device, as the directory numbers it.
QStringList listing(const LinuxPortDirectory &dir)
{
    QStringList out;
    for (const PortEntry &e : dir.entries())
        out << QStringLiteral("%1 %2 %3").arg(e.data, QFileInfo(e.device).fileName(), e.identity).trimmed();
    return out;
}

const FakeTtyTree::Usb AdapterA{"0403", "6001", "AAA", "FTDI", "FT232R USB UART"};
const FakeTtyTree::Usb AdapterB{"0403", "6001", "BBB", "FTDI", "FT232R USB UART"};
const FakeTtyTree::Usb AdapterC{"1a86", "7523", "", "", "USB Serial"};

QStringList captions(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << a->text() + (a->isEnabled() ? "" : " (off)") + (a->property("marked").toBool() ? " *" : "");
    return out;
}

}  // namespace

class TestPortMenu : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void init() { QFile::remove(testOptions().storeFile()); }
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }

    void missingKeyListsComOneToSix()
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        FakeDirectory dir;
        dir.missing = true;
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir, testOptions());
        QMenu options(QStringLiteral("&Options"));
        options.addSeparator();
        form.startUp(&options);
        QCOMPARE(options.actions().first()->menu(), form.PortMenu());
        QCOMPARE(form.PortMenu()->title(), QStringLiteral("COM Ports"));
        QCOMPARE(captions(form.PortMenu()), QStringList({"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6"}));
        QCOMPARE(dialogs.pending(), 1);  // port 1 was listed: no message
        dialogs.clear();
    }

    void configuredPortMissingSaysSo()
    {
        testOptions().write(RegistryKeys::CommPort, 3);
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        FakeDirectory dir;
        dir.list = {{"Serial ttyS0", "COM1", "/dev/ttyS0"}};
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir, testOptions());
        QMenu options;
        form.startUp(&options);
        QCOMPARE(dialogs.lastText(), QStringLiteral("COM 3 is not available"));
    }

    void virtualPortsOffAndThePortInUseMarked()
    {
        PtyPair pty;
        testOptions().write(RegistryKeys::CommPort, 2);
        testOptions().write(RegistryKeys::AllowVirtualPorts, 0);
        ScriptedDialogs dialogs;
        FakeDirectory dir;
        dir.list = {{"Serial ttyS0", "COM1", "/dev/ttyS0"},
                    {"Serial ttyUSB0", "COM2", pty.slavePath},
                    // a number the test's own pseudo-terminal never gets (with other tests running it once got 9)
                    {"Virtual ports/com7 (/dev/pts/99999)", "COM7", "/dev/pts/99999"},
                    {"Serial ttyUSB1", "COM4", "/dev/gone"}};
        dir.failing = {"/dev/gone"};
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir, testOptions());
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
        QCOMPARE(testOptions().read(RegistryKeys::AllowVirtualPorts), 1);
        emit form.PortMenu()->aboutToShow();
        QCOMPARE(captions(form.PortMenu()), QStringList({"COM 1", "COM 2 *", "COM 7", "COM 4 (off)"}));
    }

    void pickingAPortThatFailsKeepsTheStoredOne()
    {
        PtyPair pty;
        testOptions().write(RegistryKeys::CommPort, 2);
        ScriptedDialogs dialogs;
        FakeDirectory dir;
        dir.list = {{"Serial a", "COM1", "/dev/no-such-port"},
                    {"Serial b", "COM2", pty.slavePath},
                    {"Serial c", "COM3", pty.slavePath}};
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir, testOptions());
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
        QCOMPARE(testOptions().read(RegistryKeys::CommPort), 2);
        QCOMPARE(captions(form.PortMenu()).first(), QStringLiteral("COM 1 *"));

        form.SelectPort(form.PortMenu()->actions().at(2));
        QVERIFY(link.Comm1().active());
        QCOMPARE(testOptions().read(RegistryKeys::CommPort), 3);
    }

    void linuxDirectoryListsLinksAndKeepsTheirNumbers()
    {
        PtyPair pty;
        QTemporaryDir config;
        QDir(config.path()).mkpath(QStringLiteral("ports"));
        QVERIFY(QFile::link(pty.slavePath, config.path() + QStringLiteral("/ports/com3")));
        QTemporaryDir sys;  // no kernel devices
        LinuxPortDirectory dir(config.path(), testOptions(), sys.path());
        const auto entries = dir.entries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].data, QStringLiteral("COM3"));
        QVERIFY(!entries[0].name.contains(u"Serial"));  // a pseudo-terminal is a virtual port
        QCOMPARE(dir.devicePath(3), pty.slavePath);
        QCOMPARE(dir.probe(entries[0]), 0);
        QCOMPARE(entries[0].identity, "link " + config.path() + "/ports/com3");
    }

    // Adapters keep their numbers by vendor, product and serial, whichever node the kernel gives them.
    void adaptersKeepTheirNumbersAcrossReplugsAndSwaps()
    {
        QTemporaryDir config;
        FakeTtyTree tree;
        LinuxPortDirectory dir(config.path(), testOptions(), tree.sys(), tree.dev());
        QVERIFY(tree.plug("ttyUSB40", {}, AdapterA));
        QVERIFY(tree.plug("ttyUSB41", {}, AdapterB));
        QCOMPARE(listing(dir),
                 QStringList({"COM1 ttyUSB40 usb-0403:6001-AAA-if00", "COM2 ttyUSB41 usb-0403:6001-BBB-if00"}));
        QCOMPARE(dir.entries().at(0).hint, QStringLiteral("FTDI FT232R USB UART AAA"));

        // A pulled while held, back on the next node: still COM 1, B still COM 2.
        tree.pull("ttyUSB40");
        QCOMPARE(listing(dir), QStringList({"COM2 ttyUSB41 usb-0403:6001-BBB-if00"}));
        QVERIFY(tree.plug("ttyUSB42", {}, AdapterA));
        QCOMPARE(listing(dir),
                 QStringList({"COM2 ttyUSB41 usb-0403:6001-BBB-if00", "COM1 ttyUSB42 usb-0403:6001-AAA-if00"}));

        // Both replugged the other way round, even by a program started afresh.
        tree.pull("ttyUSB41");
        tree.pull("ttyUSB42");
        QVERIFY(tree.plug("ttyUSB40", {}, AdapterB));
        QVERIFY(tree.plug("ttyUSB41", {}, AdapterA));
        const LinuxPortDirectory later(config.path(), testOptions(), tree.sys(), tree.dev());
        QCOMPARE(listing(later),
                 QStringList({"COM2 ttyUSB40 usb-0403:6001-BBB-if00", "COM1 ttyUSB41 usb-0403:6001-AAA-if00"}));

        // A new adapter, with no serial, takes the lowest number no adapter holds; a link keeps its own.
        QDir(config.path()).mkpath("ports");
        PtyPair pty;
        QVERIFY(QFile::link(pty.slavePath, config.path() + "/ports/com3"));
        QVERIFY(tree.plug("ttyUSB43", {}, AdapterC));
        QCOMPARE(listing(dir).mid(1),
                 QStringList({"COM2 ttyUSB40 usb-0403:6001-BBB-if00", "COM1 ttyUSB41 usb-0403:6001-AAA-if00",
                              "COM4 ttyUSB43 usb-1a86:7523-if00"}));
        QCOMPARE(dir.rememberedNumbers(), (QMap<QString, int>{{"usb-0403:6001-AAA-if00", 1},
                                                              {"usb-0403:6001-BBB-if00", 2},
                                                              {"usb-1a86:7523-if00", 4}}));
    }

    // Kernel devices without an adapter's identity are numbered as before, around the adapters' numbers.
    void otherKernelDevicesTakeTheLowestFreeNumber()
    {
        QTemporaryDir config;
        FakeTtyTree tree;
        LinuxPortDirectory dir(config.path(), testOptions(), tree.sys(), tree.dev());
        QVERIFY(tree.plug("ttyUSB40", {}, AdapterA));
        QCOMPARE(listing(dir), QStringList({"COM1 ttyUSB40 usb-0403:6001-AAA-if00"}));
        tree.pull("ttyUSB40");
        // A legacy slot with nothing behind it (type 0) is no port; a real UART is.
        QVERIFY(tree.plug("ttyS0", {}, std::nullopt, "0"));
        QVERIFY(tree.plug("ttyS1", {}, std::nullopt, "4"));
        QVERIFY(tree.plug("ttyACM40", {}));
        QCOMPARE(listing(dir), QStringList({"COM2 ttyS1", "COM3 ttyACM40"}));
        QVERIFY(dir.entries().at(0).name.contains(u"Serial"));
        // Twin adapters without serials: the first keeps the name's number, the second is numbered as a bare device.
        QVERIFY(tree.plug("ttyUSB41", {}, AdapterC));
        QVERIFY(tree.plug("ttyUSB42", {}, AdapterC));
        QCOMPARE(listing(dir),
                 QStringList({"COM2 ttyS1", "COM4 ttyUSB41 usb-1a86:7523-if00", "COM5 ttyUSB42", "COM3 ttyACM40"}));
    }

    void thePortMenuGivesTheAdaptersNameAsItsHint()
    {
        testOptions().write(RegistryKeys::CommPort, 9);
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        FakeTtyTree tree;
        QVERIFY(tree.plug("ttyUSB40", {}, AdapterA));
        QVERIFY(tree.plug("ttyS1", {}, std::nullopt, "4"));
        LinuxPortDirectory dir(m_config.path(), testOptions(), tree.sys(), tree.dev());
        RecorderHost host;
        TractionLink link(host);
        TCOMPortForm form(link, dir, testOptions());
        QMenu options;
        form.startUp(&options);
        QStringList hints;
        for (QAction *a : form.PortMenu()->actions())
            hints << a->text() + ": " + a->toolTip();
        QCOMPARE(hints, QStringList({"COM 1: COM 1", "COM 2: FTDI FT232R USB UART AAA"}));
        QVERIFY(form.PortMenu()->toolTipsVisible());
    }
};

QTEST_MAIN(TestPortMenu)
#include "tst_port_menu.moc"
