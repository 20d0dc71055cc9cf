// The main window's guards around the unit's settings, against the simulated unit: what a write
// will change, the verify after it, the comparison with the unit and the plausibility warning.
#include "TestOptions.h"
#include "../link/SimUnit.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainSafeWrite.h"
#include "app/MainStatusBar.h"
#include "link/StatusMessages.h"
#include "settings/ui/MainFrame.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QStringList lines(const QList<SettingChange> &changes)
{
    QStringList out;
    for (const SettingChange &c : changes)
        out << c.line();
    return out;
}

QString text(const char *message) { return QLatin1String(message); }

}  // namespace

class TestMainSafeWrite : public QObject {
    Q_OBJECT

    static QLineEdit *edit(TForm1 &window, const char *name) { return window.findChild<QLineEdit *>(name); }
    static void trigger(TForm1 &window, const char *action) { window.findChild<QAction *>(action)->trigger(); }
    static QString status(TForm1 &window) { return window.statusBar1()->messageText(); }

private slots:
    void init()
    {
        // Each case starts from the stored defaults.
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    }

    // Write Settings shows what will change in the unit; Cancel sends nothing, OK writes and verifies.
    void writeShowsTheChangesFirst()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        QVERIFY(window.link().Comm1().open(unit.path));

        // Nothing read from this unit yet: the box says so, and Cancel leaves the line untouched.
        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().last().comparison.text, text(StatusMessages::CompareUnitUnknown));
        QVERIFY(dialogs.shown().last().comparison.changes.isEmpty());
        QVERIFY(dialogs.shown().last().comparison.confirm);
        QCOMPARE(unit.received(), QByteArray());

        trigger(window, "ReadFromTraction1");
        QCOMPARE(status(window), QStringLiteral("Traction memory read OK"));
        edit(window, "Co_Mot_Speed")->setText("15.00");
        window.findChild<QAbstractButton *>("SC_Seq1_20")->click();
        QVERIFY(window.Modified());

        dialogs.expectComparison(true);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().last().comparison.text, text(StatusMessages::CompareBeforeWrite));
        QCOMPARE(lines(dialogs.shown().last().comparison.changes),
                 QStringList({"Configuration / Minimum operating thresholds / Speed: 14.00 -> 15.00 Kmh",
                              "Slip control / Sequence 1: 10111011101110111011 -> 10111011101110111010"}));
        QCOMPARE(status(window), QStringLiteral("Traction memory verified OK"));
        QCOMPARE(quint8(unit.memory()[19]), quint8(1500 & 0xFF));
        QVERIFY(!window.Modified());

        // Written, the unit is known to hold the pages: nothing to change, and Cancel sends nothing.
        const qsizetype sent = unit.received().size();
        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().last().comparison.text, text(StatusMessages::CompareNothingChanges));
        QVERIFY(dialogs.shown().last().comparison.changes.isEmpty());
        QCOMPARE(unit.received().size(), sent);

        // Another port is another connection: what the last unit held says nothing of this one.
        SimUnit other({"--fast"});
        QVERIFY(other.ok());
        QVERIFY(window.link().Comm1().open(other.path));
        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().last().comparison.text, text(StatusMessages::CompareUnitUnknown));
        QCOMPARE(dialogs.pending(), 0);
    }

    void dontShowAgainIsStoredAndTheOptionsItemBringsItBack()
    {
        ScriptedDialogs dialogs;
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        {
            TForm1 window{testOptions()};
            QAction *item = window.findChild<QAction *>("CompareBeforeWrite1");
            QVERIFY(item && item->isCheckable() && item->isChecked());
            QVERIFY(window.link().Comm1().open(unit.path));
            dialogs.expectComparison(true, true);
            trigger(window, "WriteToTraction1");
            QCOMPARE(status(window), QStringLiteral("Traction memory verified OK"));
            QVERIFY(!item->isChecked());
        }
        TForm1 window{testOptions()};
        QAction *item = window.findChild<QAction *>("CompareBeforeWrite1");
        QVERIFY(!item->isChecked());
        QVERIFY(window.link().Comm1().open(unit.path));
        trigger(window, "WriteToTraction1");  // straight to the unit: no box is expected
        QCOMPARE(status(window), QStringLiteral("Traction memory verified OK"));
        QCOMPARE(dialogs.shown().size(), 1);

        item->trigger();
        QVERIFY(item->isChecked());
        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(dialogs.pending(), 0);
    }

    // A unit that stores a byte wrong: the error, the box naming the field, and the pages as the
    // user left them, still modified.
    void verifyFailureNamesTheFieldAndKeepsThePages()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.safeWrite().compareBeforeWrite()->setChecked(false);
        SimUnit unit({"--fast", "--alter-on-write", "19"});
        QVERIFY(unit.ok());
        QVERIFY(window.link().Comm1().open(unit.path));
        edit(window, "Co_Mot_Speed")->setText("15.00");

        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(status(window), QStringLiteral("Error : verify failed"));
        const Dialogs::Comparison box = dialogs.shown().last().comparison;  // a copy: the list grows
        QCOMPARE(box.text, text(StatusMessages::VerifyDiffers));
        QVERIFY(!box.confirm);
        QCOMPARE(lines(box.changes),
                 QStringList{"Configuration / Minimum operating thresholds / Speed: 15.00 -> 15.01 Kmh"});
        QCOMPARE(edit(window, "Co_Mot_Speed")->text(), QStringLiteral("15.00"));
        QVERIFY(window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QStringLiteral("Modified"));
        QCOMPARE(window.tractionMemory().word(18), quint16(1500));
        // The menus are free again.
        QVERIFY(window.findChild<QAction *>("WriteToTraction1")->isEnabled());

        // Verify off, kept in the store: the same unit's write is taken at its word, nothing read back.
        window.safeWrite().verifyAfterWrite()->trigger();
        QVERIFY(!window.safeWrite().verifyAfterWrite()->isChecked());
        const qsizetype before = unit.received().size();
        trigger(window, "WriteToTraction1");
        QCOMPARE(status(window), QStringLiteral("Traction memory written OK"));
        QVERIFY(!unit.received().mid(before).contains('R'));
        TForm1 again{testOptions()};
        QVERIFY(!again.safeWrite().verifyAfterWrite()->isChecked());
        QCOMPARE(dialogs.pending(), 0);
    }

    // Compare with Unit reads the unit and shows it against the pages; the pages stay as they are.
    // The pages stay editable while a write runs. An edit made then reached no one: the write
    // leaves it modified, undo's clean state is what was written, and closing asks about it.
    void anEditDuringTheWriteStaysModified()
    {
        SimUnit unit({"--fast"});
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(window.link().Comm1().open(unit.path));
        trigger(window, "ReadFromTraction1");
        QCOMPARE(status(window), QStringLiteral("Traction memory read OK"));
        edit(window, "Co_Mot_Speed")->setText("15.00");
        SettingsImage sent = window.tractionMemory();
        QVERIFY(window.frame1()->CopyPagesToImage(sent));

        // Typed once the unit has taken the image, in the write's wait before its last key.
        QTimer typist;
        connect(&typist, &QTimer::timeout, this, [&] {
            if (unit.memory() == sent.toByteArray() && window.link().guard().running()) {
                typist.stop();
                edit(window, "Co_Mot_revs")->setText("1234");
            }
        });
        typist.start(20);
        dialogs.expectComparison(true);
        trigger(window, "WriteToTraction1");
        QVERIFY2(!typist.isActive(), "the write ended before the image was in the unit");
        QCOMPARE(status(window), QStringLiteral("Traction memory verified OK"));
        QCOMPARE(unit.memory(), sent.toByteArray());
        QVERIFY(window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QStringLiteral("Modified"));
        // Undoing the edit is back at what the unit holds.
        trigger(window, "Undo1");
        QVERIFY(edit(window, "Co_Mot_revs")->text() != QStringLiteral("1234"));
        QCOMPARE(edit(window, "Co_Mot_Speed")->text(), QStringLiteral("15.00"));
        QVERIFY(!window.Modified());
        trigger(window, "Redo1");
        QVERIFY(window.Modified());
        // Closing asks; No keeps the window.
        dialogs.expectQuestion(false);
        window.close();
        QVERIFY(window.isVisible());
        QCOMPARE(dialogs.pending(), 0);
    }

    // A write that failed once its image went out: the unit may hold it (this one does), so what
    // the unit holds is no longer known, and the next write's box says so instead of listing
    // changes the unit already has.
    void aFailedWriteForgetsWhatTheUnitHolds()
    {
        SimUnit unit({"--fast", "--no-setup-menu"});  // outlives the window, whose port would see it hang up
        QVERIFY(unit.ok());
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QVERIFY(window.link().Comm1().open(unit.path));
        trigger(window, "ReadFromTraction1");
        QCOMPARE(status(window), QStringLiteral("Traction memory read OK"));
        edit(window, "Co_Mot_Speed")->setText("15.00");
        dialogs.expectComparison(true);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().last().comparison.changes.size(), 1);
        QCOMPARE(status(window), QStringLiteral("Error : writing traction memory"));
        SettingsImage pages = window.tractionMemory();
        QVERIFY(window.frame1()->CopyPagesToImage(pages));
        QCOMPARE(unit.memory(), pages.toByteArray());  // it took the image all the same
        QVERIFY(window.Modified());

        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(dialogs.shown().last().comparison.text, text(StatusMessages::CompareUnitUnknown));
        QVERIFY(dialogs.shown().last().comparison.changes.isEmpty());
    }

    void compareWithUnitLeavesThePagesAlone()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        SettingsImage held;
        held.setWord(100, 4400);
        SimUnit unit({"--fast"}, held.toByteArray());
        QVERIFY(unit.ok());
        QVERIFY(window.link().Comm1().open(unit.path));
        edit(window, "Co_Mot_revs")->setText("2500");

        dialogs.expectComparison(false);
        trigger(window, "CompareWithTraction1");
        QVERIFY2(!dialogs.shown().isEmpty(), qPrintable(status(window)));
        const Dialogs::Comparison box = dialogs.shown().last().comparison;  // a copy: the list grows
        QCOMPARE(box.text, text(StatusMessages::CompareWithUnit));
        QVERIFY(!box.confirm && !box.offerDontShow);
        QCOMPARE(lines(box.changes),
                 QStringList({"Configuration / Minimum operating thresholds / Revolutions: 2000 -> 2500 RPM",
                              "Launch control / Wet settings / Hard cut: 4400 -> 4300 RPM"}));
        QCOMPARE(edit(window, "Co_Mot_revs")->text(), QStringLiteral("2500"));
        QCOMPARE(edit(window, "Launch_WET_RPM_HARD")->text(), QStringLiteral("4300"));
        QVERIFY(window.Modified());
        QVERIFY(!unit.received().contains('W'));

        // What was read is now known of the unit: the next write shows the same changes.
        dialogs.expectComparison(false);
        trigger(window, "WriteToTraction1");
        QCOMPARE(lines(dialogs.shown().last().comparison.changes), lines(box.changes));
        QCOMPARE(dialogs.pending(), 0);
    }

    // Values the fields cannot hold are listed after a read and after a load, and still shown.
    void implausibleImagesAreShownWithAWarning()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        SettingsImage odd;
        odd.setWord(54, 0);
        odd.setByte(140, 'x');
        SimUnit unit({"--fast"}, odd.toByteArray());
        QVERIFY(unit.ok());
        QVERIFY(window.link().Comm1().open(unit.path));

        dialogs.expectWarning();
        trigger(window, "ReadFromTraction1");
        QCOMPARE(status(window), QStringLiteral("Traction memory read OK"));
        QCOMPARE(dialogs.lastText(),
                 text(StatusMessages::Implausible) +
                     "\n\rWheels / Driven / Wheel diameter: 0 (cannot be zero)"
                     "\n\rSlip control / Sequence 1: cell 13: 78 (a cut cell holds \"0\" or \"1\")");
        QCOMPARE(edit(window, "Wh_Driven_Dia")->text(), QStringLiteral("0"));

        // A loaded file is checked the same way.
        QTemporaryDir dir;
        const QString file = dir.filePath("odd.dat");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        SettingsImage loaded;
        loaded.setByte(76, 0x42);
        f.write(loaded.toByteArray());
        f.close();
        dialogs.expectOpenFile(file).expectWarning();
        trigger(window, "Open1");
        QCOMPARE(status(window), QStringLiteral("File loaded ok"));
        QVERIFY2(dialogs.lastText().endsWith(
                     "Rev limits / Clutch switch / Invert switch: 42 (an on/off setting holds 00 or FF)"),
                 qPrintable(dialogs.lastText()));
        QCOMPARE(dialogs.pending(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

QTEST_MAIN(TestMainSafeWrite)
#include "tst_main_safe_write.moc"
