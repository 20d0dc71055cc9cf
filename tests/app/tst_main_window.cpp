#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QMenu>
#include <QTest>

namespace {

// What the message area shows, read from its pixels: the commonest colour is its fill, the one
// farthest from the fill is the colour its text is drawn in.
struct Shown {
    QColor fill;
    QColor ink;
};

Shown shownIn(MainStatusBar *bar)
{
    const QImage image = bar->findChild<QWidget *>("MessagePanel")->grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    QRgb fill = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(fill))
            fill = it.key();
    const auto distance = [fill](QRgb c) {
        return qAbs(qRed(c) - qRed(fill)) + qAbs(qGreen(c) - qGreen(fill)) + qAbs(qBlue(c) - qBlue(fill));
    };
    QRgb ink = fill;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (distance(it.key()) > distance(ink))
            ink = it.key();
    return {QColor(fill), QColor(ink)};
}

// Text drawn smoothed in a thin face may never cover a pixel whole: its ink is within a step or two.
bool inkIs(const QColor &ink, const QColor &colour)
{
    return qAbs(ink.red() - colour.red()) <= 2 && qAbs(ink.green() - colour.green()) <= 2 &&
           qAbs(ink.blue() - colour.blue()) <= 2;
}

// Records a widget's enabling and disabling by its title.
class EnableWatch : public QObject {
public:
    explicit EnableWatch(QStringList &changed) : m_changed(changed) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange) {
            auto *menu = static_cast<QMenu *>(watched);
            m_changed << menu->title() + (menu->isEnabled() ? "+" : "-");
        }
        return false;
    }

private:
    QStringList &m_changed;
};

}  // namespace

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
        TForm1 window{testOptions()};
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
        TForm1 window{testOptions()};
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
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MainStatusBar *bar = window.statusBar1();
        window.ShowStatus("File loaded ok", false);
        QCOMPARE(bar->messageText(), QString("File loaded ok"));
        Shown shown = shownIn(bar);
        QCOMPARE(shown.fill, QColor(90, 200, 100));
        QVERIFY2(inkIs(shown.ink, Qt::white), qPrintable(shown.ink.name()));

        window.ShowStatus("Error : reading traction memory", true);
        QCOMPARE(bar->messageText(), QString("Error : reading traction memory"));
        shown = shownIn(bar);
        QCOMPARE(shown.fill, QColor(250, 40, 40));
        QVERIFY2(inkIs(shown.ink, Qt::white), qPrintable(shown.ink.name()));

        // Activity and the cleared area: the desktop's button face and window text.
        const QPalette desktop = QApplication::palette();
        window.ShowActivity("Reading traction memory");
        shown = shownIn(bar);
        QCOMPARE(shown.fill, desktop.color(QPalette::Button));
        QVERIFY2(inkIs(shown.ink, desktop.color(QPalette::WindowText)), qPrintable(shown.ink.name()));

        window.ShowStatus("Error : reading traction memory", true);
        window.startMessageTimer();
        QTRY_COMPARE_WITH_TIMEOUT(bar->messageText(), QString(), 4000);
        QCOMPARE(shownIn(bar).fill, desktop.color(QPalette::Button));
    }

    void aHoveredButtonLeavesTheProgressAndMessageInSight()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
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
        TForm1 window{testOptions()};
        window.show();  // the port menu is made when the window is first shown
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Disabled or hidden ones change nothing: make every one of them seen.
        window.action("Save1")->setEnabled(true);
        window.action("TerminalClose1")->setVisible(true);

        // Every action and sub-menu reports its change, in the order they are made.
        QStringList changed;
        const QStringList actions = {
            "Open1",     "Save1",          "SaveAs1", "Print1",           "Import1",           "Exit1",
            "Terminal1", "TerminalClose1", "Graph1",  "WriteToTraction1", "ReadFromTraction1", "HelpContents1",
            "About2",    "PrinterSetup1",  "Email1",  "FeedBack1"};
        for (QAction *action : window.findChildren<QAction *>())
            if (!action->objectName().isEmpty())  // not the menus' own
                connect(action, &QAction::enabledChanged, this,
                        [&changed, action](bool on) { changed << action->objectName() + (on ? "+" : "-"); });
        EnableWatch menus(changed);
        for (QMenu *menu : window.findChildren<QMenu *>())
            menu->installEventFilter(&menus);

        window.LockMenus();
        QStringList locked;
        for (const QString &name : actions)
            locked << name + "-";
        locked << "Toolbars-"
               << "COM Ports-"
               << "&File-"
               << "&Help-"
               << "&View-"
               << "&Options-"
               << "&Edit-";
        QCOMPARE(changed, locked);

        changed.clear();
        window.UnlockMenus();
        QStringList unlocked;
        for (const QString &name : actions)
            if (name != "Save1")  // no settings read or loaded yet: Save stays as it is
                unlocked << name + "+";
        unlocked << "Toolbars+"
                 << "COM Ports+"
                 << "&File+"
                 << "&Help+"
                 << "&View+"
                 << "&Options+"
                 << "&Edit+";
        QCOMPARE(changed, unlocked);
        QVERIFY(!window.action("Save1")->isEnabled());

        window.setSettingsLoaded(true);
        window.LockMenus();
        window.UnlockMenus();
        QVERIFY(window.action("Save1")->isEnabled());
        for (const QString &name : actions)
            QVERIFY2(window.action(qPrintable(name))->isEnabled(), qPrintable(name));
    }

    void closingWithUnsavedChangesAsksFirst()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        window.setModified(true);
        dialogs.expectQuestion(false);
        QVERIFY(!window.close());
        QVERIFY(dialogs.lastText().contains("Do you still want to close"));
        QVERIFY2(!dialogs.shown().last().question.defaultYes, "Enter must keep the edits");
        dialogs.expectQuestion(true);
        QVERIFY(window.close());
        QCOMPARE(dialogs.pending(), 0);
    }

    void titleBarShowsTheFileOrTheTerminal()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction"));
        window.UpdateTitleBar(true);
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : "));
        window.setCurrentFileName("/tmp/tunes/track.dat");
        window.UpdateTitleBar(true);
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : track.dat"));
        window.UpdateTitleBar(false);
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : Terminal"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
