// Undo and redo on the settings pages, through the real window's controls and keys.
#include "RealKeys.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"
#include "settings/ui/MainFrame.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int MotSpeedOffset = 18;    // word shown by Co_Mot_Speed
constexpr int LoggerFlagOffset = 38;  // CB_Logger_Enabled
constexpr int Seq1Offset = 128;       // SC_Seq1_1..20

template <typename T> T *control(TForm1 &w, const char *name)
{
    auto *c = qobject_cast<T *>(w.frame1()->control(QString::fromLatin1(name)));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// What the pages hold now, as the image they would write.
QByteArray pagesImage(TForm1 &w)
{
    SettingsImage image = w.tractionMemory();
    if (!w.frame1()->CopyPagesToImage(image))
        return "<not a number>";
    return image.toByteArray();
}

void settle() { QCoreApplication::processEvents(); }

void type(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    settle();
}

}  // namespace

class TestMainUndo : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }

    void everyKindOfControlUndoesAndRedoes()
    {
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        QAction *undo = w.action("Undo1");
        QAction *redo = w.action("Redo1");
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());
        QVERIFY(!w.Modified());

        QList<QByteArray> states{pagesImage(w)};
        auto changed = [&] {
            settle();
            states << pagesImage(w);
            QVERIFY(states.last() != states.at(states.size() - 2));
        };
        // An edit box: the whole typing is one step.
        type(control<QLineEdit>(w, "Co_Mot_Speed"), "12.34");
        changed();
        QCOMPARE(SettingsImage::fromBytes(states.last()).word(MotSpeedOffset), 1234);
        // A check box.
        control<QCheckBox>(w, "CB_Logger_Enabled")->click();
        changed();
        // A slider (its caption follows).
        auto *slider = control<QSlider>(w, "Sc_Seq1_Assert_Graphical");
        slider->setValue(slider->value() == 40 ? 55 : 40);
        changed();
        // One cut box, then a set-all button: twenty boxes, one step.
        control<QAbstractButton>(w, "SC_Seq1_7")->click();
        changed();
        control<QAbstractButton>(w, "BitBtn2")->click();  // sequence 1 all to no spark
        changed();
        QCOMPARE(states.last().mid(Seq1Offset, 20), QByteArray(20, '0'));
        QVERIFY(w.Modified());
        QVERIFY(undo->isEnabled());

        for (int i = states.size() - 2; i >= 0; --i) {
            undo->trigger();
            QCOMPARE(pagesImage(w), states.at(i));
            // Modified until the pages are back at the image they started from.
            QCOMPARE(w.Modified(), i != 0);
            QCOMPARE(w.statusBar1()->modifiedText(), i != 0 ? QStringLiteral("Modified") : QString());
        }
        QCOMPARE(control<QLabel>(w, "Sc_Seq1_Assert_Value")->text(),
                 QString::number(control<QSlider>(w, "Sc_Seq1_Assert_Graphical")->value()));
        QVERIFY(!undo->isEnabled());
        QVERIFY(redo->isEnabled());
        for (int i = 1; i < states.size(); ++i) {
            redo->trigger();
            QCOMPARE(pagesImage(w), states.at(i));
            QVERIFY(w.Modified());
        }
        QVERIFY(!redo->isEnabled());

        // A change after an undo ends what could be redone.
        undo->trigger();
        undo->trigger();
        control<QCheckBox>(w, "SS_non_sequential")->click();
        settle();
        QVERIFY(!redo->isEnabled());
        undo->trigger();
        QCOMPARE(pagesImage(w), states.at(states.size() - 3));
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void ctrlZAndCtrlYReachThePagesFromAnEditBox()
    {
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        auto *edit = control<QLineEdit>(w, "Co_Mot_Speed");
        const QString before = edit->text();
        control<QCheckBox>(w, "CO_Inv_Clutch_Sw")->click();
        settle();
        const QByteArray afterClick = pagesImage(w);
        QVERIFY(RealKeys::focusInto(edit));
        edit->selectAll();
        QVERIFY(RealKeys::type("7 7 7"));
        QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("777"), RealKeys::Patience);
        // The keys go to the pages' undo, not to the box's own: the check box change stays.
        QVERIFY(RealKeys::type("ctrl+z"));
        QTRY_COMPARE_WITH_TIMEOUT(edit->text(), before, RealKeys::Patience);
        QCOMPARE(pagesImage(w), afterClick);
        QVERIFY(RealKeys::type("ctrl+z"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.Modified(), RealKeys::Patience);
        QVERIFY(RealKeys::type("ctrl+y ctrl+y"));
        QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("777"), RealKeys::Patience);
        QVERIFY(w.Modified());

        // In the Edit menu, between File and Options.
        auto *edit_menu = w.findChild<QMenu *>(QStringLiteral("EditSubMenu"));
        QVERIFY(edit_menu);
        QCOMPARE(edit_menu->title(), QStringLiteral("&Edit"));
        QCOMPARE(edit_menu->actions(), QList<QAction *>({w.action("Undo1"), w.action("Redo1")}));
        QVERIFY(w.lockedMenus().contains(edit_menu));

        // The terminal takes Ctrl+Z and Ctrl+Y as keys for the unit: no undo while it is shown.
        QVERIFY(w.action("Undo1")->isEnabled());
        dialogs.expectWarning(true);
        w.action("Terminal1")->trigger();
        QVERIFY(!w.action("Undo1")->isEnabled());
        QVERIFY(!w.action("Redo1")->isEnabled());
    }

    void aLoadStartsANewHistoryAndASaveIsTheNewClean()
    {
        QTemporaryDir dir;
        SettingsImage file = SettingsImage::defaults();
        file.setWord(MotSpeedOffset, 2500);
        {
            QFile f(dir.filePath("track.dat"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file.toByteArray());
        }
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        type(control<QLineEdit>(w, "Co_Mot_Speed"), "1111");
        QVERIFY(w.action("Undo1")->isEnabled());

        dialogs.expectQuestion(true).expectOpenFile(dir.filePath("track.dat"));
        w.action("Open1")->trigger();
        settle();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(!w.action("Undo1")->isEnabled());
        QVERIFY(!w.action("Redo1")->isEnabled());
        const QByteArray loaded = pagesImage(w);
        QCOMPARE(SettingsImage::fromBytes(loaded).word(MotSpeedOffset), 2500);

        // Back at the loaded image is as modified as the load left it: that tune was never saved
        // or sent, and closing must still ask about it.
        QVERIFY(w.Modified());
        control<QCheckBox>(w, "CB_Logger_Enabled")->click();
        settle();
        QVERIFY(w.Modified());
        w.action("Undo1")->trigger();
        QCOMPARE(pagesImage(w), loaded);
        QVERIFY(w.Modified());

        // Saved: the saved pages are the clean ones now, not the loaded.
        w.action("Redo1")->trigger();
        w.action("Save1")->trigger();
        QVERIFY(!w.Modified());
        const QByteArray saved = pagesImage(w);
        type(control<QLineEdit>(w, "Co_Mot_Speed"), "3000");
        w.action("Undo1")->trigger();
        QCOMPARE(pagesImage(w), saved);
        QVERIFY(!w.Modified());
        w.action("Undo1")->trigger();
        QCOMPARE(pagesImage(w), loaded);
        QVERIFY(w.Modified());
    }
};

QTEST_MAIN(TestMainUndo)
#include "tst_main_undo.moc"
