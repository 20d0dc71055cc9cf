// Printing through the system's print service: a CUPS server of the test's own (its configuration,
// spool and output folders in a temporary folder, on a local socket) with a cups-pdf queue; the
// window prints to it through the print dialog, and the PDF the queue wrote is read back.
#include "PdfText.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainBody.h"
#include "app/MainStatusBar.h"
#include "link/ui/TerminalFrame.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char Queue[] = "TractionPDF";

bool put(const QString &path, const QString &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

// The words of a PDF's text, so that a page printed twice compares whatever the line breaks.
QStringList words(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

std::function<void(QPrinter &)> toQueue()
{
    return [](QPrinter &printer) {
        // As the dialog leaves it when a printer is picked: no file to print into.
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setOutputFileName(QString());
        printer.setPrinterName(QLatin1String(Queue));
    };
}

std::function<void(QPrinter &)> toPdf(const QString &path)
{
    return [path](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    };
}

}  // namespace

class TestPrintQueue : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    QTemporaryDir m_root;
    QProcess m_cupsd;

    QString at(const QString &name) const { return m_root.filePath(name); }

    // Runs a CUPS command-line tool against the test's own server.
    bool cups(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        const bool ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!ok)
            qWarning() << program << args << p.readAll();
        return ok;
    }

    // The newest PDF the queue wrote after 'before' PDFs were there; empty after a minute without one.
    QString nextPdf(int before)
    {
        const QDir out(at("out"));
        if (!QTest::qWaitFor([&] { return out.entryList({"*.pdf"}, QDir::Files).size() > before; }, 60000))
            return {};
        // cups-pdf names its file before ghostscript has finished it: wait until pdftotext reads it.
        const QString pdf = out.filePath(out.entryList({"*.pdf"}, QDir::Files, QDir::Time).first());
        return QTest::qWaitFor([&] { return !pdfText(pdf).isEmpty(); }, 30000) ? pdf : QString();
    }
    int pdfsWritten() const { return int(QDir(at("out")).entryList({"*.pdf"}, QDir::Files).size()); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        // cups-pdf reads its settings only from /etc/cups and runs only as root: the server gets a
        // mount namespace of its own in which /etc/cups is the test's folder.
        if (::geteuid() != 0)
            QSKIP("the cups-pdf backend runs only under a CUPS server started as root");
        for (const char *tool : {"cupsd", "lpadmin", "cupsdisable", "unshare", "pdftotext"})
            QVERIFY2(!QStandardPaths::findExecutable(tool, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}).isEmpty(), tool);
        QVERIFY(QFile::exists("/usr/lib/cups/backend/cups-pdf"));
        // Filters run as the user lp and must reach the spool and temporary folders.
        QFile::setPermissions(m_root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                                 QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                 QFileDevice::ReadOther | QFileDevice::ExeOther);
        for (const char *dir : {"etc", "spool", "cache", "state", "log", "out", "pdf-spool", "tmp"})
            QVERIFY(QDir(m_root.path()).mkpath(dir));
        QCOMPARE(::chmod(QFile::encodeName(at("tmp")).constData(), 01777), 0);
        const QString socket = at("cups.sock");
        QVERIFY(put(at("etc/cupsd.conf"),
                    QStringLiteral("Listen %1\nLogLevel info\nWebInterface No\nBrowsing No\n"
                                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                   "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                        .arg(socket)));
        QVERIFY(put(at("etc/cups-files.conf"),
                    QStringLiteral(
                        "ServerRoot %1/etc\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                        "TempDir %1/tmp\nPrintcap %1/printcap\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                        "PageLog %1/log/page_log\n")
                        .arg(m_root.path())));
        QVERIFY(put(at("etc/cups-pdf.conf"), QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/pdf-spool\n"
                                                            "Log %1/log\nGrp root\n")
                                                 .arg(m_root.path())));
        m_cupsd.setProcessChannelMode(QProcess::ForwardedChannels);
        m_cupsd.start("unshare",
                      {"-m", "sh", "-c",
                       "mount --bind \"$1\" /etc/cups && exec cupsd -f -c \"$1/cupsd.conf\" -s \"$1/cups-files.conf\"",
                       "sh", at("etc")});
        QVERIFY(m_cupsd.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 20000);
        // The clients, Qt's print support among them, find the server by this.
        qputenv("CUPS_SERVER", QFile::encodeName(socket));
        // pdftocairo keeps the page's text readable on its way through PostScript.
        QVERIFY(
            cups("lpadmin", {"-p", Queue, "-E", "-v", "cups-pdf:/", "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
                             "-o", "pdftops-renderer-default=pdftocairo"}));
    }

    void cleanupTestCase()
    {
        if (m_cupsd.state() == QProcess::NotRunning)
            return;
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000))
            m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }

    void theTuneSheetComesOutOfTheQueueAsPrintedDirectly()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.findChild<QLineEdit *>("Co_Mot_Speed")->setText("12.34");
        const QString direct = at("direct.pdf");
        const int before = pdfsWritten();
        dialogs.expectPrint(toPdf(direct)).expectPrint(toQueue());
        window.action("Print1")->trigger();
        window.action("Print1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.statusBar1()->messageText(), QString("Page Printed OK"));

        const QString queued = pdfText(nextPdf(before));
        QVERIFY2(queued.contains(QRegularExpression("Speed\\s+12.34\\s+Kmh")), qPrintable(queued));
        // Every setting as on the page printed directly (the minute of printing aside).
        const QRegularExpression printed("Printed [^\\n]*");
        QCOMPARE(words(QString(queued).remove(printed)), words(pdfText(direct).remove(printed)));
        QCOMPARE(pdfPages(queued).size(), 1);
    }

    void theTerminalsTextComesOutOfTheQueue()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.action("Terminal1")->trigger();
        QStringList lines;
        for (int i = 1; i <= 150; ++i) {
            lines << QStringLiteral("Wheel Speed %1 of the unit's screen").arg(i);
            window.body()->frame2()->addLine(lines.last());
        }
        const int before = pdfsWritten();
        dialogs.expectPrint(toQueue());
        window.action("Print1")->trigger();
        QCOMPARE(window.statusBar1()->messageText(), QString("Page Printed OK"));
        const QStringList pages = pdfPages(pdfText(nextPdf(before)));
        QVERIFY2(pages.size() >= 2, qPrintable(pages.join("\n=====\n")));
        QStringList printed;
        for (const QString &page : pages)
            for (const QString &line : page.split('\n', Qt::SkipEmptyParts))
                printed << line.trimmed();
        QCOMPARE(printed, lines);
    }

    void aStoppedQueueIsPrintPageFailed()
    {
        QVERIFY(cups("cupsdisable", {Queue}));
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        const int before = pdfsWritten();
        dialogs.expectPrint(toQueue()).expectError();
        window.action("Print1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY2(dialogs.lastText().contains(Queue), qPrintable(dialogs.lastText()));
        QCOMPARE(window.statusBar1()->messageText(), QString("Print Page Failed"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
        QVERIFY(cups("cupsenable", {Queue}));
        QTest::qWait(3000);
        QCOMPARE(pdfsWritten(), before);  // nothing was left waiting in the queue either
    }
};

QTEST_MAIN(TestPrintQueue)
#include "tst_print_queue.moc"
