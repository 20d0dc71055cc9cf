#include "PdfText.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainBody.h"
#include "app/MainStatusBar.h"
#include "app/PrintForm.h"
#include "link/ui/TerminalFrame.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// What the mail program is handed, as it reads it: the link with its escapes undone.
QString asMailProgramReadsIt(const QUrl &url) { return QUrl::fromPercentEncoding(url.toEncoded()); }

}  // namespace

// Print, Email and Send Feedback of the main window, printed to real PDF files.
class TestMainPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void printsTheSettingsAsThePagesShowThem()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.findChild<QLineEdit *>("Co_Mot_Speed")->setText("12.34");
        for (int k = 2; k <= 19; ++k)
            window.findChild<QAbstractButton *>(QStringLiteral("SC_Seq1_%1").arg(k))->setChecked(false);
        window.findChild<QAbstractButton *>("SC_Seq1_1")->setChecked(true);
        window.findChild<QAbstractButton *>("SC_Seq1_20")->setChecked(true);
        const QString pdf = m_dir.filePath("sheet.pdf");

        dialogs.expectPrint(toPdf(pdf));
        window.action("Print1")->trigger();

        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.statusBar1()->messageText(), QString("Page Printed OK"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Ok);
        QVERIFY(window.MessageViewTimer()->isActive());
        const QString text = pdfText(pdf);
        QCOMPARE(pdfPages(text).size(), 1);
        for (const char *line :
             {"TractionVersion : Unknown", "Speed\\s+12.34\\s+Kmh", "Sequence 1\\s+10000000000000000001",
              "Any surface\\s+655.35\\s+Kmh", "Printed \\w+day, "})
            QVERIFY2(text.contains(QRegularExpression(QLatin1String(line))), line);
        QVERIFY(text.contains(TForm1::GetVer()));
        // the image is not touched by printing
        QCOMPARE(window.tractionMemory().toByteArray(), SettingsImage::defaults().toByteArray());
    }

    void aCancelledPrintDialogFails()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        dialogs.expectPrint(nullptr);
        window.action("Print1")->trigger();
        QCOMPARE(window.statusBar1()->messageText(), QString("Print Page Failed"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar1()->messageText(), QString(), 4000);
    }

    void aPrinterThatCannotPrintIsReportedNotPrintedOk()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        dialogs.expectPrint(toPdf(m_dir.filePath("no/such/folder/sheet.pdf"))).expectError();
        window.action("Print1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.statusBar1()->messageText(), QString("Print Page Failed"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
    }

    void theTitleKeepsTheLastVersionPrinted()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        const QByteArray version("TCU V3.12");
        std::copy(version.begin(), version.end(), window.link().state().FirmwareVersion.begin());
        const QString first = m_dir.filePath("first.pdf"), second = m_dir.filePath("second.pdf");
        dialogs.expectPrint(toPdf(first)).expectPrint(toPdf(second));
        window.action("Print1")->trigger();
        window.link().state().FirmwareVersion.fill(0);  // a later version query failed
        window.action("Print1")->trigger();
        QVERIFY(pdfText(first).contains("TractionVersion : TCU V3.12"));
        QVERIFY(pdfText(second).contains("TractionVersion : TCU V3.12"));
    }

    void theTerminalsTextPrintsOverPagesInsteadOfTheSettings()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.action("Terminal1")->trigger();
        QStringList lines;
        for (int i = 1; i <= 150; ++i) {
            lines << QStringLiteral("Wheel Speed %1 of the unit's screen").arg(i);
            window.body()->frame2()->addLine(lines.last());
        }
        window.findChild<QLineEdit *>("Co_Mot_Speed")->setText("12.34");
        const QString pdf = m_dir.filePath("terminal.pdf");
        dialogs.expectPrint(toPdf(pdf));
        window.action("Print1")->trigger();

        QCOMPARE(window.statusBar1()->messageText(), QString("Page Printed OK"));
        const QStringList pages = pdfPages(pdfText(pdf));
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        QStringList printed;
        for (const QString &page : pages) {
            const QStringList onPage = page.split('\n', Qt::SkipEmptyParts);
            QVERIFY2(!onPage.isEmpty(), "an empty page was printed");
            for (const QString &line : onPage)
                printed << line.trimmed();
        }
        QCOMPARE(printed, lines);
        // the settings page was not built for this print
        QCOMPARE(window.printerForm()->page().byName("MinOpSpeed")->text, QString("655.35"));
    }

    void printerSetupUsesTheDialogsSeam()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        dialogs.expectPrinterSetup(true);
        window.action("PrinterSetup1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.statusBar1()->messageText(), QString());
    }

    void theMailCarriesEverySettingInPageOrder()
    {
        ScriptedDialogs dialogs;
        RecordingShell shell;
        TForm1 window{testOptions()};
        window.findChild<QLineEdit *>("Co_Mot_Speed")->setText("12.34");
        window.findChild<QAbstractButton *>("CO_Inv_Clutch_Sw")->setChecked(true);
        window.action("Email1")->trigger();

        QCOMPARE(shell.opened.size(), 1);
        const QString mail = asMailProgramReadsIt(shell.opened.first());
        QVERIFY2(mail.startsWith("mailto:support@example.com?subject=Traction email form&body="
                                 "TractionVersion : Unknown\r\n\r\nConfiguration\r\n"
                                 "Maximum difference in wheel speeds , Any surface 655.35 Kmh\r\n\t"
                                 "Maximum Operating Speed 655.35 Kmh\r\n\r\nTurning , "),
                 qPrintable(mail.left(400)));
        for (const char *part :
             {"Straight line override 5 %\r\n\r\n", "Speed 12.34 Kmh\r\n\t", "Non sequential mode - Disabled\r\n",
              "Clutch Switch, Inverted - Enabled\r\n\r\n", "Sequence 1 10111011101110111011\r\n\t"})
            QVERIFY2(mail.contains(QLatin1String(part)), part);
        QVERIFY(mail.endsWith(", " + TForm1::GetVer() + " "));
        QCOMPARE(window.statusBar1()->messageText(), QString());
    }

    void feedbackNamesTheVersionTheStatusBarShows()
    {
        ScriptedDialogs dialogs;
        RecordingShell shell;
        TForm1 window{testOptions()};
        window.statusBar1()->setVersionText("1.2.3.45");
        window.action("FeedBack1")->trigger();
        QCOMPARE(shell.opened.size(), 1);
        QCOMPARE(asMailProgramReadsIt(shell.opened.first()),
                 QString("mailto:support@example.com?subject=Traction Software Version 1.2.3.45 feedback"
                         "&body={Enter your name here}\r\n\r\n{Enter feedback here}\r\n"));
    }

private:
    static std::function<void(QPrinter &)> toPdf(const QString &path)
    {
        return [path](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
        };
    }

    QTemporaryDir m_config;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestMainPrint)
#include "tst_main_print.moc"
