#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

// The main window offscreen, with its options in a folder of the test's own.
class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void startsWithTheDefaultSettingsUnmodified()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        auto *speed = window.findChild<QLineEdit *>("Co_Mot_Speed");
        QVERIFY(speed);
        QCOMPARE(speed->text(), QString("14.00"));
        QVERIFY(!window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QString());
        QCOMPARE(window.statusBar1()->versionText(), TForm1::GetVer());
        QVERIFY(TForm1::GetVer().count('.') == 3);
    }

    void anEditOnThePagesMarksTheWindowModified()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        auto *speed = window.findChild<QLineEdit *>("Co_Mot_Speed");
        speed->setText("15.00");
        QVERIFY(window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QString("Modified"));
        window.setModified(false);
        QCOMPARE(window.statusBar1()->modifiedText(), QString());
    }

    void statusMessagesAreColouredAndClearedAfterTwoSeconds()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        window.ShowStatus("File loaded ok", false);
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Ok);
        window.ShowStatus("Error : reading traction memory", true);
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
        QCOMPARE(window.statusBar1()->messageText(), QString("Error : reading traction memory"));
        QVERIFY(MainStatusBar::background(MainStatusBar::Tone::Ok) !=
                MainStatusBar::background(MainStatusBar::Tone::Error));
        window.startMessageTimer();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar1()->messageText(), QString(), 4000);
    }

    void aHoveredButtonLeavesTheProgressAndMessageInSight()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.ShowActivity("Reading traction memory");
        QAction *read = window.action("ReadFromTraction1");
        QCOMPARE(read->toolTip(), QString("Transfer settings from traction control unit"));
        QWidget *button = nullptr;
        for (QObject *o : read->associatedObjects())
            if (auto *w = qobject_cast<QWidget *>(o); w && w->window() == &window && !w->inherits("QMenu"))
                button = w;
        QVERIFY(button);
        read->showStatusText(button);  // what resting the pointer on the tool button sends
        QCOMPARE(window.statusBar()->currentMessage(), QString());
        QVERIFY(window.statusBar1()->progressBar()->isVisible());
        QCOMPARE(window.statusBar1()->messageText(), QString("Reading traction memory"));
    }

    void lockMenusDisablesTheExchangesAndUnlockKeepsSaveUntilSettingsExist()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        QVERIFY(window.action("ReadFromTraction1")->isEnabled());
        QVERIFY(!window.action("Save1")->isEnabled());
        window.LockMenus();
        QVERIFY(!window.action("ReadFromTraction1")->isEnabled());
        QVERIFY(!window.action("Open1")->isEnabled());
        window.UnlockMenus();
        QVERIFY(window.action("ReadFromTraction1")->isEnabled());
        QVERIFY(window.action("Open1")->isEnabled());
        QVERIFY(!window.action("Save1")->isEnabled());
    }

    void closingWithUnsavedChangesAsksFirst()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        window.show();
        window.setModified(true);
        dialogs.expectQuestion(false);
        QVERIFY(!window.close());
        QVERIFY(dialogs.lastText().contains("Do you still want to close"));
        dialogs.expectQuestion(true);
        QVERIFY(window.close());
        QCOMPARE(dialogs.pending(), 0);
    }

    void titleBarShowsTheFileOrTheTerminal()
    {
        ScriptedDialogs dialogs;
        TForm1 window;
        window.setCurrentFileName("/tmp/tunes/track.dat");
        window.UpdateTitleBar(true);
        QVERIFY(window.windowTitle().startsWith("Veltorane Traction : "));
        QVERIFY(window.windowTitle().contains("track.dat"));
        window.UpdateTitleBar(false);
        QVERIFY(window.windowTitle().startsWith("Veltorane Traction : "));
        QVERIFY(!window.windowTitle().contains("track.dat"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
