// The tune history in the main window: copies kept by reads, writes and saves (and only by those
// that succeed), and the History dialog bringing one back into the pages.
#include "TestOptions.h"
#include "../link/BenchUnit.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainHistory.h"
#include "settings/TuneHistory.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/TuneHistoryDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray pagesImage(TForm1 &w)
{
    SettingsImage image = w.tractionMemory();
    return w.frame1()->CopyPagesToImage(image) ? image.toByteArray() : QByteArray("<not a number>");
}

QList<TuneHistory::Entry> kept() { return TuneHistory::inConfigFolder(testOptions()).entries(); }

}  // namespace

class TestMainHistory : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }
    void init() { QDir(TuneHistory::inConfigFolder(testOptions()).folder()).removeRecursively(); }

    void readsWritesAndSavesThatSucceedAreKept()
    {
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        BenchUnit unit;
        unit.version = "TCU V3.12";
        SettingsImage inUnit = SettingsImage::defaults();
        inUnit.setWord(18, 1525);
        unit.memory = inUnit.toByteArray();
        QVERIFY(w.link().Comm1().open(unit.pty.slavePath));

        w.action("ReadFromTraction1")->trigger();
        QCOMPARE(kept().size(), 1);
        QCOMPARE(kept()[0].event, TuneHistory::Event::Read);
        QCOMPARE(kept()[0].image, inUnit);
        QCOMPARE(kept()[0].version, QStringLiteral("TCU V3.12"));

        w.frame1()->findChild<QCheckBox *>(QStringLiteral("CB_Logger_Enabled"))->click();
        dialogs.expectComparison(true);  // what the write will change, confirmed
        w.action("WriteToTraction1")->trigger();
        QCOMPARE(kept().size(), 2);
        QCOMPARE(kept()[1].event, TuneHistory::Event::Write);
        QCOMPARE(kept()[1].image.toByteArray(), unit.memory);
        QVERIFY(kept()[1].image != inUnit);

        // A unit that does not answer: nothing kept, for the read nor the write.
        unit.silent = true;
        w.action("ReadFromTraction1")->trigger();
        dialogs.expectComparison(true);
        w.action("WriteToTraction1")->trigger();
        QCOMPARE(kept().size(), 2);

        QTemporaryDir dir;
        const QString file = dir.filePath("track.dat");
        dialogs.expectSaveFile(file);
        w.action("SaveAs1")->trigger();
        QCOMPARE(kept().size(), 3);
        QCOMPARE(kept()[2].what(), QStringLiteral("saved to track.dat"));
        QCOMPARE(kept()[2].image.toByteArray(), pagesImage(w));

        // A save that fails (no folder to write into) keeps nothing.
        dialogs.expectSaveFile(dir.filePath("no/such/folder/x.dat")).expectError();
        w.action("SaveAs1")->trigger();
        QCOMPARE(kept().size(), 3);
    }

    void theDialogListsNewestFirstAndLoadsOneIntoThePages()
    {
        ScriptedDialogs dialogs;
        TuneHistory history = TuneHistory::inConfigFolder(testOptions());
        SettingsImage older = SettingsImage::defaults();
        older.setWord(18, 1111);
        SettingsImage newer = SettingsImage::defaults();
        newer.setWord(18, 2222);
        const QDateTime t0 = QDateTime::currentDateTime();
        QVERIFY(history.add(TuneHistory::Event::Read, older, "TCU V3.12", "COM 3", nullptr, t0));
        QVERIFY(history.add(TuneHistory::Event::Save, newer, "", "/x/b.dat", nullptr, t0.addSecs(1)));

        TForm1 w{testOptions()};
        const QByteArray before = pagesImage(w);
        QVERIFY(!w.Modified());
        w.action("History1")->trigger();
        TuneHistoryDialog *dialog = w.history()->dialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("History"));
        QTableWidget *list = dialog->list();
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("saved to b.dat"));
        QCOMPARE(list->item(1, 1)->text(), QStringLiteral("read from the unit"));
        QCOMPARE(list->item(1, 2)->text(), QStringLiteral("TCU V3.12"));

        list->selectRow(1);
        dialog->loadButton()->click();
        QCOMPARE(pagesImage(w), older.toByteArray());
        QVERIFY(w.Modified());
        QTRY_VERIFY(!w.history()->dialog());  // closed, and gone
        // Only the pages changed; and the load is one step back.
        QCOMPARE(w.tractionMemory(), SettingsImage::defaults());
        w.action("Undo1")->trigger();
        QCOMPARE(pagesImage(w), before);
        QVERIFY(!w.Modified());
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void aKeptTuneComparesWithThePagesAndChangesNothing()
    {
        ScriptedDialogs dialogs;
        SettingsImage keptImage = SettingsImage::defaults();
        keptImage.setWord(18, 1111);
        QVERIFY(
            TuneHistory::inConfigFolder(testOptions()).add(TuneHistory::Event::Read, keptImage, "TCU V3.12", "COM 3"));

        TForm1 w{testOptions()};
        const QByteArray before = pagesImage(w);
        w.action("History1")->trigger();
        TuneHistoryDialog *dialog = w.history()->dialog();
        QVERIFY(dialog);
        dialog->list()->selectRow(0);
        dialogs.expectComparison(true);
        dialog->compareButton()->click();
        QCOMPARE(dialogs.shown().size(), 1);
        const Dialogs::Comparison &shown = dialogs.shown()[0].comparison;
        QCOMPARE(shown.title, QStringLiteral("History"));
        // Only the word at 18 differs between the kept tune and the default pages.
        QCOMPARE(shown.changes.size(), 1);
        QCOMPARE(shown.changes[0].offset, 18);
        QVERIFY2(shown.changes[0].before != shown.changes[0].after, qPrintable(shown.changes[0].line()));
        QCOMPARE(pagesImage(w), before);
        QVERIFY(!w.Modified());
        QVERIFY(dialog->isVisible());

        // The same tune in the pages: the box says there is nothing to list.
        dialog->loadButton()->click();
        w.action("History1")->trigger();
        dialog = w.history()->dialog();
        dialog->list()->selectRow(0);
        dialogs.expectComparison(true);
        dialog->compareButton()->click();
        QVERIFY(dialogs.shown().last().comparison.changes.isEmpty());
        QCOMPARE(dialogs.shown().last().comparison.text,
                 QStringLiteral("The pages hold the same settings as the kept ones."));
        dialog->reject();
    }

    void anEmptyHistorySaysSo()
    {
        ScriptedDialogs dialogs;
        TForm1 w{testOptions()};
        w.action("History1")->trigger();
        TuneHistoryDialog *dialog = w.history()->dialog();
        QVERIFY(dialog);
        QVERIFY(!dialog->list()->isVisibleTo(dialog));
        QVERIFY(!dialog->loadButton()->isEnabled());
        QVERIFY(!dialog->compareButton()->isEnabled());
        dialog->reject();
    }
};

QTEST_MAIN(TestMainHistory)
#include "tst_main_history.moc"
