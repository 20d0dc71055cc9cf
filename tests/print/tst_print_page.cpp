#include "PdfText.h"
#include "print/PagePainter.h"
#include "settings/PrintPage.h"
#include "settings/SettingsMail.h"

#include <QPdfWriter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QDateTime Printed(QDate(2026, 12, 8), QTime(21, 5));

PrintPage pageOf(const PageValues &pages, const QString &version = QStringLiteral("Unknown"))
{
    PrintPage page;
    page.fill(pages, version, QStringLiteral("1.2.3.45"), Printed);
    return page;
}

}  // namespace

// The printed settings page read back from a real PDF, the text lines printed over pages, and
// the mail body that walks the same page.
class TestPrintPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
                 "pdftotext (poppler-utils) is needed to read the printed pages back");
        QVERIFY(m_dir.isValid());
    }

    void defaultSettingsPrintAsTheySay_data()
    {
        QTest::addColumn<QString>("line");
        // Each row is what one line of the sheet reads, cells apart by any run of spaces.
        QTest::newRow("title") << "TractionVersion : Unknown";
        QTest::newRow("heading left") << "Configuration";
        QTest::newRow("any surface") << "Maximum difference in wheel speeds +Any surface +655.35 +Kmh";
        QTest::newRow("operating speed") << "Maximum Operating Speed +655.35 +Kmh";
        QTest::newRow("turning") << "Turning +Minimum turning speed +0.45 +Kmh";
        QTest::newRow("slider caption") << "Straight line override +5 +%";
        QTest::newRow("no unit") << "Cylinders +Number of cylinders +4";
        QTest::newRow("check box caption") << "Misfire mode +Non sequential mode";
        QTest::newRow("revs") << "Revolutions +2000 +Rpm";
        QTest::newRow("diameter") << "Reference +Diameter +550 +mm";
        QTest::newRow("channel list") << "Assignment +Front Left +CH1";
        QTest::newRow("launch") << "Dry settings +Hard Cut +4800 +Rpm";
        QTest::newRow("tenths") << "Start Delay +2.0 +Sec";
        QTest::newRow("rev limit pattern") << "Cut Tables +Soft Cut +10010010010010010010";
        QTest::newRow("hard pattern") << "Hard Cut +00000000000000000000";
        QTest::newRow("sequence pattern") << "Cut Tables +Sequence 1 +10111011101110111011";
        QTest::newRow("integral") << "Integral +01000010000100001000";
        QTest::newRow("assert") << "Assert at +Sequence 1 +5 +%";
        QTest::newRow("integral time") << "Start Integral after +0.4 +Sec";
        QTest::newRow("footer") << "Printed Tuesday, December 8, 2026, +at 09:05 PM +1.2.3.45";
    }
    void defaultSettingsPrintAsTheySay()
    {
        QFETCH(QString, line);
        if (m_defaultSheet.isEmpty()) {
            const QString pdf = m_dir.filePath(QStringLiteral("default.pdf"));
            printPage(pageOf(PageValues::afterStartup()), pdf);
            m_defaultSheet = pdfText(pdf);
            QCOMPARE(pdfPages(m_defaultSheet).size(), 1);
        }
        const QRegularExpression expected(QStringLiteral("(^|\\s)") +
                                          line.replace(QLatin1String(" +"), QLatin1String("\\s+")));
        QVERIFY2(m_defaultSheet.contains(expected), qPrintable(m_defaultSheet));
    }

    void thePageShowsWhatThePagesShowNow()
    {
        PageValues pages = PageValues::afterStartup();
        for (int k = 2; k <= 19; ++k)
            pages.setCell(QStringLiteral("SC_Seq1"), k, false);
        pages.setCell(QStringLiteral("SC_Seq1"), 1, true);
        pages.setCell(QStringLiteral("SC_Seq1"), 20, true);
        pages.setText(QStringLiteral("Co_Mot_Speed"), QStringLiteral("12.34"));
        pages.setText(QStringLiteral("Sc_Seq2_Assert_Value"), QStringLiteral("37"));
        pages.setChannel(Wheel::RearRight, QStringLiteral("CH2"));
        const QString pdf = m_dir.filePath(QStringLiteral("edited.pdf"));
        printPage(pageOf(pages, QStringLiteral("TCU V3.12")), pdf);
        const QString text = pdfText(pdf);
        for (const char *line : {"TractionVersion : TCU V3.12", "Sequence 1\\s+10000000000000000001",
                                 "Speed\\s+12.34\\s+Kmh", "Sequence 2\\s+37\\s+%", "Rear Right\\s+CH2"})
            QVERIFY2(text.contains(QRegularExpression(QLatin1String(line))), line);
    }

    void theDateLineIsEnglishInAnyLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString line = printedDateLine(Printed);
        const QString midnight = printedDateLine(QDateTime(QDate(2027, 1, 1), QTime(0, 30)));
        QLocale::setDefault(before);
        QCOMPARE(line, QStringLiteral("Printed Tuesday, December 8, 2026,  at 09:05 PM"));
        QCOMPARE(midnight, QStringLiteral("Printed Friday, January 1, 2027,  at 12:30 AM"));
    }

    void sectionsAndFooterKeepTheirOrderNumbers()
    {
        const PrintPage page;
        QCOMPARE(page.items().size(), 140);
        const std::pair<int, const char *> fixed[] = {{1, "TractionVersion :"}, {2, "Unknown"},
                                                      {3, "Configuration"},     {42, "Wheel Configuration"},
                                                      {64, "Launch Control"},   {101, "Rev Limits"},
                                                      {116, "Slip Control"},    {25, "Non sequential mode"},
                                                      {115, "Inverted"}};
        for (const auto &[tag, text] : fixed)
            QCOMPARE(page.item(tag)->text, QString::fromLatin1(text));
        QCOMPARE(page.item(139)->name, QStringLiteral("Label86"));
        QCOMPARE(page.item(140)->name, QStringLiteral("Label83"));
        QCOMPARE(page.byName(QStringLiteral("MaxDiffAnySpeed"))->tag, 6);
        QCOMPARE(page.byName(QStringLiteral("IntegralTime"))->tag, 137);
    }

    void linesContinueOnTheNextPageWithoutEmptyPages()
    {
        QStringList lines;
        for (int i = 1; i <= 200; ++i)
            lines << QStringLiteral("line %1 of the unit's menu").arg(i);
        const QStringList pages = pdfPages(printLines(lines, QStringLiteral("long.pdf")));
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        QStringList read;
        for (const QString &page : pages) {
            const QStringList onPage = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY2(!onPage.isEmpty(), "an empty page was printed");
            QVERIFY(onPage.first().trimmed().startsWith(QStringLiteral("line ")));
            for (const QString &l : onPage)
                read << l.trimmed();
        }
        QCOMPARE(read, lines);

        // As many lines as two full pages hold make two pages, not a third empty one.
        const int perPage = int(pages.first().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
        const QStringList exact = pdfPages(printLines(lines.mid(0, 2 * perPage), QStringLiteral("exact.pdf")));
        QCOMPARE(exact.size(), 2);
        QVERIFY(!exact.last().trimmed().isEmpty());
    }

    void mailBodyReadsAsTheWorkedExample()
    {
        const QString body = SettingsMail::body(pageOf(PageValues::afterStartup()));
        QVERIFY2(
            body.startsWith(QStringLiteral(
                "TractionVersion : Unknown%0D%0A%0D%0AConfiguration%0D%0A"
                "Maximum difference in wheel speeds , Any surface 655.35 Kmh%0D%0A%09"
                "Maximum Operating Speed 655.35 Kmh%0D%0A%0D%0ATurning , Minimum turning speed 0.45 Kmh%0D%0A%09")),
            qPrintable(body.left(300)));
        QVERIFY(body.contains(QStringLiteral("Misfire mode, Non sequential mode - Disabled%0D%0ACylinders, ")));
        QVERIFY(body.contains(QStringLiteral("Clutch Switch, Inverted - Disabled%0D%0A%0D%0ASlip Control%0D%0A")));
        QVERIFY(body.endsWith(QStringLiteral("Printed Tuesday, December 8, 2026,  at 09:05 PM, 1.2.3.45 ")));
    }

    void mailBodyHoldsEveryTextInTagOrder()
    {
        PageValues pages = PageValues::afterStartup();
        pages.setChecked(QStringLiteral("SS_non_sequential"), true);
        const PrintPage page = pageOf(pages);
        const QString body = SettingsMail::body(page);
        qsizetype at = 0;
        for (const PrintItem &item : page.items()) {
            const qsizetype found = body.indexOf(item.text, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("tag %1 \"%2\"").arg(item.tag).arg(item.text)));
            at = found + item.text.size();
        }
        QVERIFY(body.contains(QStringLiteral("Non sequential mode - Enabled%0D%0A")));
    }

    void mailLinks()
    {
        QVERIFY(SettingsMail::emailLink(pageOf(PageValues::afterStartup()))
                    .startsWith(QStringLiteral("mailto:support@example.com?subject=Traction email form&body="
                                               "TractionVersion : Unknown%0D%0A%0D%0AConfiguration%0D%0A")));
        QCOMPARE(SettingsMail::feedbackLink(QStringLiteral("1.2.3.45")),
                 QStringLiteral("mailto:support@example.com?subject=Traction Software Version 1.2.3.45 feedback"
                                "&body={Enter your name here}%0D%0A%0D%0A{Enter feedback here}%0D%0A"));

        // '&' and '#' in a text reach the mail program as text: neither ends the body nor the link.
        const QUrl mail(SettingsMail::emailLink(pageOf(PageValues::afterStartup(), QStringLiteral("V3&4 #7"))),
                        QUrl::TolerantMode);
        QVERIFY(mail.fragment().isEmpty());
        const QUrlQuery query(mail);
        QCOMPARE(query.queryItems().size(), 2);
        const QString body = query.queryItemValue("body", QUrl::FullyDecoded);
        QVERIFY2(body.startsWith("TractionVersion : V3&4 #7\r\n"), qPrintable(body.left(60)));
        const QUrl feedback(SettingsMail::feedbackLink(QStringLiteral("1.2&3#4")), QUrl::TolerantMode);
        QCOMPARE(QUrlQuery(feedback).queryItemValue("subject", QUrl::FullyDecoded),
                 QString("Traction Software Version 1.2&3#4 feedback"));
    }

private:
    void printPage(const PrintPage &page, const QString &pdf)
    {
        QPdfWriter writer(pdf);
        QString error;
        QVERIFY2(PagePainter::print(writer, page, &error), qPrintable(error));
    }

    QString printLines(const QStringList &lines, const QString &name)
    {
        const QString pdf = m_dir.filePath(name);
        {
            QPdfWriter writer(pdf);
            QString error;
            if (!PagePainter::printLines(writer, lines, &error))
                return {};
        }
        return pdfText(pdf);
    }

    QTemporaryDir m_dir;
    QString m_defaultSheet;
};

QTEST_MAIN(TestPrintPage)
#include "tst_print_page.moc"
