#include "PdfText.h"
#include "ToolRun.h"
#include "settings/PrintPage.h"
#include "settings/SettingsFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// tractionctl print as a script runs it, its PDF read back.
class TestTractionctlPrint : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args) { return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void printsEveryTextOfTheWindowsPageForAFile()
    {
        const QString tune = QStringLiteral(TEST_DATA_DIR "/tune.dat");
        const ToolRun r = run({"print", tune, "--pdf", path("tune.pdf"), "--version", "TCU V3.12"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        const QString text = pdfText(path("tune.pdf"));
        QCOMPARE(pdfPages(text).size(), 1);

        // The page the window would build for the same settings.
        SettingsImage image;
        QString error;
        QVERIFY2(readDatFile(tune, image, &error), qPrintable(error));
        PageValues pages;
        pages.fill(image);
        PrintPage page;
        page.fill(pages, "TCU V3.12", "", QDateTime());
        for (const PrintItem &item : page.items()) {
            if (item.text.isEmpty())
                continue;  // the date line and version of this test's page are empty
            QVERIFY2(text.contains(item.text.trimmed()),
                     qPrintable(QStringLiteral("tag %1 \"%2\" missing").arg(item.tag).arg(item.text)));
        }
        QVERIFY(text.contains("TractionVersion : TCU V3.12"));
        QVERIFY(text.contains(QRegularExpression("Printed \\w+day, \\w+ \\d+, \\d{4}, +at \\d\\d:\\d\\d [AP]M")));
    }

    void withoutAVersionTheTitleSaysUnknown()
    {
        const QString tra = QStringLiteral(TEST_DATA_DIR "/car.tra");
        QCOMPARE(run({"print", tra, "--pdf", path("car.pdf")}).status, 0);
        const QString text = pdfText(path("car.pdf"));
        QVERIFY(text.contains("TractionVersion : Unknown"));
        QVERIFY(text.contains(QRegularExpression("Sequence 1\\s+11111111111111111111")));
    }

    void aFailedPrintLeavesTheOldPdf()
    {
        writeFile(path("kept.pdf"), "the sheet printed last week");
        writeFile(path("short.dat"), QByteArray(255, '\0'));
        ToolRun r = run({"print", path("short.dat"), "--pdf", path("kept.pdf")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.startsWith("File failed to load"));
        QCOMPARE(fileBytes(path("kept.pdf")), QByteArray("the sheet printed last week"));

        r = run({"print", QStringLiteral(TEST_DATA_DIR "/tune.dat"), "--pdf", path("no/such/folder/sheet.pdf")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith("Print Page Failed"), qPrintable(r.err));

        r = run({"print", QStringLiteral(TEST_DATA_DIR "/tune.dat")});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("usage: tractionctl print IN.dat|IN.tra --pdf OUT.pdf [--version TEXT]"));
    }
};

QTEST_GUILESS_MAIN(TestTractionctlPrint)
#include "tst_tractionctl_print.moc"
