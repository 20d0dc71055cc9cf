// The main window against a stand-in unit on a pseudo-terminal: what its status bar says of the
// unit after each exchange.
#include "TestOptions.h"
#include "../link/BenchUnit.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

class TestMainLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void versionPanelShowsOnlyTheUnitThatAnswered()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        BenchUnit unit;
        unit.version = "TCU V3.12";
        QVERIFY(window.link().Comm1().open(unit.pty.slavePath));
        MainStatusBar *bar = window.statusBar1();
        const auto read = [&] {
            window.action("ReadFromTraction1")->trigger();
            return bar->messageText();
        };

        // The stand-in's memory is no tune: each read warns of it.
        dialogs.expectWarning();
        QCOMPARE(read(), QString("Traction memory read OK"));
        QCOMPARE(bar->firmwareText(), QString("TCU V3.12"));

        // Another unit on the cable, with a shorter version: nothing of the first one's is left.
        unit.version = "TC 2.41";
        dialogs.expectWarning();
        QCOMPARE(read(), QString("Traction memory read OK"));
        QCOMPARE(bar->firmwareText(), QString("TC 2.41"));

        // Then none that answers: no version is shown, and none is kept for anything else to show.
        unit.silent = true;
        QCOMPARE(read(), QString("Error : reading traction memory"));
        QCOMPARE(bar->firmwareText(), QString());
        QCOMPARE(window.link().state().firmwareVersionText(), QByteArray());

        // A file action redraws the title; it does not bring the old version back.
        window.UpdateTitleBar(true);
        QCOMPARE(bar->firmwareText(), QString());
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestMainLink)
#include "tst_main_link.moc"
