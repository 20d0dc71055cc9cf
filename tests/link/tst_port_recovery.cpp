// A pulled adapter: the port closes with its error, then comes back by itself once the same
// device is there again, or when the user picks the held but closed port.
#include "FakeTtyTree.h"
#include "PtyPair.h"
#include "RecorderHost.h"
#include "ScriptedDialogs.h"
#include "SimUnit.h"
#include "TestOptions.h"
#include "link/PortDirectory.h"
#include "link/TractionLink.h"
#include "link/ui/COMPortUnitUnit.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString caption(QMenu *menu, int number)
{
    for (QAction *a : menu->actions())
        if (a->data().toInt() == number)
            return a->text() + (a->isEnabled() ? "" : " (off)") + (a->property("marked").toBool() ? " *" : "");
    return {};
}

QAction *item(QMenu *menu, int number)
{
    for (QAction *a : menu->actions())
        if (a->data().toInt() == number)
            return a;
    return nullptr;
}

}  // namespace

class TestPortRecovery : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    QTemporaryDir m_noKernelPorts;
    QString m_link;  // the port's link in the configuration folder: COM 3

    // The program's side of one run: the port form on the real directory of the temporary folder.
    struct Program {
        RecorderHost host;
        TractionLink link{host};
        LinuxPortDirectory directory;
        TCOMPortForm form;
        QMenu options;
        Program(const QString &config, const QString &sys, const QString &dev = QStringLiteral("/dev"))
            : directory(config, testOptions(), sys, dev), form(link, directory, testOptions())
        {
            form.startUp(&options);
        }
    };
    std::unique_ptr<Program> start()
    {
        return std::make_unique<Program>(m_config.path() + "/Veltorane", m_noKernelPorts.path());
    }
    // On kernel devices only: a configuration folder without port links.
    std::unique_ptr<Program> start(const FakeTtyTree &tree)
    {
        testOptions().write(RegistryKeys::CommPort, 1);
        return std::make_unique<Program>(m_noLinks.path(), tree.sys(), tree.dev());
    }
    QTemporaryDir m_noLinks;

    // The adapter holding COM 1 pulled: the port closes with its error box.
    static bool pull(Program &p, FakeTtyTree &tree, PtyPair &adapter, ScriptedDialogs &dialogs)
    {
        QSignalSpy lost(&p.link.Comm1(), &SerialDevice::lost);
        dialogs.expectError();
        adapter.hangUp();
        tree.pull("ttyUSB40");
        return lost.wait(10000) && !p.link.Comm1().active() && p.form.recovery().watching();
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        m_link = m_config.path() + "/Veltorane/ports/com3";
    }
    void init()
    {
        QFile::remove(testOptions().storeFile());
        testOptions().write(RegistryKeys::CommPort, 3);
        testOptions().write(RegistryKeys::AllowVirtualPorts, 1);
    }

    void theSameDeviceReappearingIsReopenedWithAMessage()
    {
        ScriptedDialogs dialogs;
        // Three seconds: time for a loaded machine to open the port before it goes.
        auto unplugged = std::make_unique<SimUnit>(QStringList{"--link", m_link, "--hangup-after", "3"});
        QVERIFY(unplugged->ok());
        auto p = start();
        QVERIFY(p->link.Comm1().active());
        QSignalSpy lost(&p->link.Comm1(), &SerialDevice::lost);
        QSignalSpy reopened(&p->form, &TCOMPortForm::portReopened);

        dialogs.expectError();
        QVERIFY(lost.wait(10000));
        QVERIFY2(dialogs.lastText().startsWith("Read error ("), qPrintable(dialogs.lastText()));
        QVERIFY(!p->link.Comm1().active());
        QVERIFY(p->form.recovery().watching());
        unplugged.reset();

        // Nothing there yet: the watch goes on quietly, with no second box.
        QTest::qWait(2 * PortRecovery::CheckIntervalMs + 200);
        QVERIFY(!p->link.Comm1().active());
        QCOMPARE(reopened.size(), 0);
        QCOMPARE(dialogs.shown().size(), 1);

        // The unit back on the same link (at another pseudo-terminal, as a replugged adapter may be).
        SimUnit back({"--link", m_link});
        QVERIFY(back.ok());
        QVERIFY(reopened.wait(10000));
        QCOMPARE(reopened.first().first().toString(), QStringLiteral("COM 3 is back, port reopened"));
        QVERIFY(p->link.Comm1().active());
        QCOMPARE(p->link.Comm1().devicePath(), QFileInfo(m_link).canonicalFilePath());
        QVERIFY(!p->form.recovery().watching());
        QCOMPARE(caption(p->form.PortMenu(), 3), QStringLiteral("COM 3 *"));
        // And it talks.
        QVERIFY(p->link.TractionFirmwareVersion());
        QVERIFY(!p->link.state().firmwareVersionText().isEmpty());
        QCOMPARE(dialogs.shown().size(), 1);
    }

    // Two devices the kernel numbers by place: pulling the first moves the second under its number.
    void anotherDeviceUnderTheLostNumberIsLeftAloneAndSaid()
    {
        ScriptedDialogs dialogs;
        PtyPair unit, other;
        FakeTtyTree tree;
        QVERIFY(tree.plug("ttyUSB40", unit.slavePath));
        QVERIFY(tree.plug("ttyUSB41", other.slavePath));
        auto p = start(tree);
        QCOMPARE(p->link.Comm1().devicePath(), tree.dev() + "/ttyUSB40");
        QSignalSpy reopened(&p->form, &TCOMPortForm::portReopened);
        QSignalSpy changed(&p->form, &TCOMPortForm::portOtherDevice);
        QVERIFY(pull(*p, tree, unit, dialogs));

        QCOMPARE(p->directory.devicePath(1), tree.dev() + "/ttyUSB41");
        QTest::qWait(3 * PortRecovery::CheckIntervalMs + 200);
        QVERIFY(!p->link.Comm1().active());
        QCOMPARE(reopened.size(), 0);
        // Said once, however often the watch looks; and the watch goes on for the device it lost.
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("COM 1 is another device now"));
        QCOMPARE(changed.first().at(1).toString(),
                 tree.dev() + "/ttyUSB41, not opened; pick COM 1 under Options, COM Ports to use it");
        QVERIFY(p->form.recovery().watching());
        QCOMPARE(dialogs.shown().size(), 1);

        // Picked by the user, it is opened: the choice is theirs.
        emit p->form.PortMenu()->aboutToShow();
        p->form.SelectPort(item(p->form.PortMenu(), 1));
        QVERIFY(p->link.Comm1().active());
        QCOMPARE(p->link.Comm1().devicePath(), tree.dev() + "/ttyUSB41");
        QVERIFY(!p->form.recovery().watching());
    }

    // Adapters known by vendor, product and serial: the lost one back on a new node is reopened,
    // the other one never taken for it.
    void theSameAdapterOnANewNodeIsReopened()
    {
        ScriptedDialogs dialogs;
        PtyPair unit, other;
        FakeTtyTree tree;
        const FakeTtyTree::Usb a{"0403", "6001", "AAA", "FTDI", "FT232R USB UART"};
        const FakeTtyTree::Usb b{"0403", "6001", "BBB", "FTDI", "FT232R USB UART"};
        QVERIFY(tree.plug("ttyUSB40", unit.slavePath, a));
        QVERIFY(tree.plug("ttyUSB41", other.slavePath, b));
        auto p = start(tree);
        QCOMPARE(p->link.Comm1().devicePath(), tree.dev() + "/ttyUSB40");
        QSignalSpy reopened(&p->form, &TCOMPortForm::portReopened);
        QSignalSpy changed(&p->form, &TCOMPortForm::portOtherDevice);
        QVERIFY(pull(*p, tree, unit, dialogs));

        QTest::qWait(2 * PortRecovery::CheckIntervalMs + 200);
        QVERIFY(!p->link.Comm1().active());
        QCOMPARE(reopened.size() + changed.size(), 0);

        PtyPair back;
        QVERIFY(tree.plug("ttyUSB42", back.slavePath, a));
        QVERIFY(reopened.wait(10000));
        QCOMPARE(reopened.first().first().toString(), QStringLiteral("COM 1 is back, port reopened"));
        QCOMPARE(p->link.Comm1().devicePath(), tree.dev() + "/ttyUSB42");
        QVERIFY(p->link.Comm1().SendChar('x'));
        QByteArray sent;
        QTRY_VERIFY_WITH_TIMEOUT((sent += back.readAll()) == "x", 5000);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(dialogs.shown().size(), 1);
    }

    void pickingTheHeldButClosedPortReopensIt()
    {
        ScriptedDialogs dialogs;
        auto unplugged = std::make_unique<SimUnit>(QStringList{"--link", m_link, "--hangup-after", "3"});
        QVERIFY(unplugged->ok());
        auto p = start();
        QSignalSpy lost(&p->link.Comm1(), &SerialDevice::lost);
        dialogs.expectError();
        QVERIFY(lost.wait(10000));
        unplugged.reset();

        // Picked while the device is still away: the serial layer's error, nothing opened.
        dialogs.expectError();
        p->form.SelectPort(item(p->form.PortMenu(), 3));
        QVERIFY2(dialogs.lastText().startsWith("Specified device not found ("), qPrintable(dialogs.lastText()));
        QVERIFY(!p->link.Comm1().active());

        // Back, and picked before the watch has looked: the pick itself opens it. The simulator
        // is awaited without running events, so the watch's timer cannot come first.
        SimUnit back({"--link", m_link});
        QVERIFY(back.ok());
        emit p->form.PortMenu()->aboutToShow();
        QCOMPARE(caption(p->form.PortMenu(), 3), QStringLiteral("COM 3"));
        p->form.SelectPort(item(p->form.PortMenu(), 3));
        QVERIFY(p->link.Comm1().active());
        QVERIFY(!p->form.recovery().watching());
        QCOMPARE(caption(p->form.PortMenu(), 3), QStringLiteral("COM 3 *"));
        QCOMPARE(testOptions().read(RegistryKeys::CommPort), 3);
        QCOMPARE(dialogs.shown().size(), 2);
        QVERIFY(p->link.TractionFirmwareVersion());

        // An open port picked again stays as it is.
        const quint64 events = p->link.Comm1().events();
        p->form.SelectPort(item(p->form.PortMenu(), 3));
        QCOMPARE(p->link.Comm1().events(), events);
    }

    void closingTheProgramOrPickingAnotherPortEndsTheWatch()
    {
        ScriptedDialogs dialogs;
        {
            auto unplugged = std::make_unique<SimUnit>(QStringList{"--link", m_link, "--hangup-after", "3"});
            auto p = start();
            QSignalSpy lost(&p->link.Comm1(), &SerialDevice::lost);
            dialogs.expectError();
            QVERIFY(lost.wait(10000));
            QVERIFY(p->form.recovery().watching());
            p->link.shutdown();
            QVERIFY(!p->form.recovery().watching());
        }
        {
            auto unplugged = std::make_unique<SimUnit>(QStringList{"--link", m_link, "--hangup-after", "3"});
            SimUnit other({"--link", m_config.path() + "/Veltorane/ports/com4"});
            auto p = start();
            QSignalSpy lost(&p->link.Comm1(), &SerialDevice::lost);
            dialogs.expectError();
            QVERIFY(lost.wait(10000));
            emit p->form.PortMenu()->aboutToShow();
            p->form.SelectPort(item(p->form.PortMenu(), 4));
            QVERIFY(p->link.Comm1().active());
            QVERIFY(!p->form.recovery().watching());
            // COM 3 coming back later does not take the port from COM 4.
            unplugged.reset();
            SimUnit back({"--link", m_link});
            QTest::qWait(2 * PortRecovery::CheckIntervalMs + 200);
            QCOMPARE(p->link.Comm1().devicePath(),
                     QFileInfo(m_config.path() + "/Veltorane/ports/com4").canonicalFilePath());
        }
    }
};

QTEST_MAIN(TestPortRecovery)
#include "tst_port_recovery.moc"
