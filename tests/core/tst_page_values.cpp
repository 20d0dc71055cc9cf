#include "settings/PageValues.h"

#include <QTest>

namespace {
const QLocale Stop(QLocale::English, QLocale::UnitedKingdom);
const QLocale Comma(QLocale::German, QLocale::Germany);

// Bytes that differ between two images, as "offset:before>after".
QStringList changes(const SettingsImage &a, const SettingsImage &b)
{
    QStringList out;
    for (int i = 0; i < SettingsImage::Size; ++i)
        if (a.byte(i) != b.byte(i))
            out << QStringLiteral("%1:%2>%3")
                       .arg(i)
                       .arg(a.byte(i), 2, 16, QLatin1Char('0'))
                       .arg(b.byte(i), 2, 16, QLatin1Char('0'));
    return out;
}

SettingsImage roundTrip(const SettingsImage &image)
{
    PageValues pages;
    pages.fill(image, Stop);
    SettingsImage back = image;
    const auto error = pages.copyTo(back, Stop);
    if (error)
        qWarning() << *error;
    return back;
}
}  // namespace

class TestPageValues : public QObject {
    Q_OBJECT
private slots:
    void defaultImageShowsWhatTheUserSees()
    {
        const PageValues pages = PageValues::afterStartup(Stop);
        QCOMPARE(pages.text("Co_Mot_Speed"), "14.00");
        QCOMPARE(pages.text("MaxOpSpd_Edit"), "655.35");
        QCOMPARE(pages.text("Co_Diff_Speed_any"), "655.35");
        QCOMPARE(pages.text("LC_Dry_Start_delay"), "2.0");
        QCOMPARE(pages.text("Co_Stright_line_Override_Val"), "5");
        QCOMPARE(pages.text("Launch_DRY_RPM_HARD"), "4800");
        QCOMPARE(pages.cells("SC_Seq1"), "10111011101110111011");
        QCOMPARE(pages.cells("Cs_Hard_rev"), "00000000000000000000");
        QCOMPARE(pages.ratePosition(), 1);
        QCOMPARE(pages.channel(Wheel::FrontLeft), "CH1");
        QCOMPARE(pages.channel(Wheel::FrontRight), "CH2");
        QCOMPARE(pages.channel(Wheel::RearLeft), "CH3");
        QCOMPARE(pages.channel(Wheel::RearRight), "CH4");
        QVERIFY(!pages.checked("CB_Logger_Enabled"));
        QCOMPARE(PageValues::afterStartup(Comma).text("Co_Mot_Speed"), "14,00");
    }

    void defaultImageSurvivesTheRoundTripInBothLocales()
    {
        for (const QLocale &locale : {Stop, Comma}) {
            PageValues pages;
            pages.fill(SettingsImage::defaults(), locale);
            SettingsImage back = SettingsImage::defaults();
            QVERIFY(!pages.copyTo(back, locale));
            QCOMPARE(changes(SettingsImage::defaults(), back), QStringList());
        }
    }

    void roundTripExceptionsComeBackAsThePagesShowThem()
    {
        SettingsImage image;
        image.setWord(0, 65535);   // percent: 100 -> 65500
        image.setByte(38, 0x01);   // flag shown on -> 0xFF
        image.setByte(39, 0x5A);   // second byte of the slot is kept
        image.setWord(78, 12);     // rate 12 shows as 22Hz -> 10
        image.setByte(130, 0x32);  // cell neither "0" nor "1" -> "0"
        image.setByte(70, 0x7F);   // CH3 front neither 00 nor FF -> 00
        QCOMPARE(changes(image, roundTrip(image)),
                 (QStringList{"1:ff>dc", "38:01>ff", "70:7f>00", "79:0c>0a", "130:32>30"}));
        const SettingsImage back = roundTrip(image);
        QCOMPARE(back.byte(39), 0x5A);
        QCOMPARE(back.word(0), 65500);

        SettingsImage far;
        far.setWord(78, 50);
        PageValues pages;
        pages.fill(far, Stop);
        QCOMPARE(pages.ratePosition(), -1);
        QVERIFY(!pages.copyTo(far, Stop));
        QCOMPARE(far.word(78), 0);
    }

    void editsAreStoredAndABadEntryStopsTheCopy()
    {
        PageValues pages = PageValues::afterStartup(Comma);
        pages.setText("Co_Mot_Speed", "0,29");
        pages.setText("Launch_DRY_RPM_HARD", "4500,7");
        pages.setText("Co_Stright_line_Override_Val", "100");
        pages.setChecked("SS_non_sequential", true);
        pages.setCell("SC_Seq3", 20, true);
        pages.setChannel(Wheel::FrontRight, "CH1");  // CH1 ends as front right
        pages.setRatePosition(7);
        SettingsImage image;
        QVERIFY(!pages.copyTo(image, Comma));
        QCOMPARE(image.word(18), 29);
        QCOMPARE(image.word(34), 4500);
        QCOMPARE(image.word(14), 0xFFDC);
        QCOMPARE(image.byte(44), 0xFF);
        QCOMPARE(image.byte(187), '1');
        QCOMPARE(image.byte(66), 0xFF);
        QCOMPARE(image.byte(112), 0x00);
        QCOMPARE(image.byte(68), 0xFF);  // CH2 keeps its flags
        QCOMPARE(image.word(78), 10);

        // Fields before the bad one already hold their new values; later ones keep their bytes.
        PageValues bad = PageValues::afterStartup(Stop);
        bad.setText("Co_Mot_revs", "3000");
        bad.setText("Wh_Driven_Dia", "12.5");
        bad.setText("Launch_WET_RPM_HARD", "1");
        SettingsImage target;
        QCOMPARE(bad.copyTo(target, Stop), QString("'12.5' is not a valid integer value"));
        QCOMPARE(target.word(10), 3000);
        QCOMPARE(target.word(100), 4300);
    }

    void shownLinesFollowTheTable()
    {
        const auto lines = PageValues::afterStartup(Stop).shown();
        QHash<QString, PageValues::Shown> byControl;
        for (const auto &l : lines)
            byControl.insert(l.control, l);
        QCOMPARE(byControl["Co_Mot_Speed"].offsets, "18-19");
        QCOMPARE(byControl["Co_Mot_Speed"].unit, "Kmh");
        QCOMPARE(byControl["SC_Seq1"].offsets, "128-147");
        QCOMPARE(byControl["Sensor_RL"].text, "CH3");
        QCOMPARE(byControl["Sensor_RL"].offsets, "70/116");
        QCOMPARE(byControl["Sample_Rate"].text, "122Hz");
        QCOMPARE(byControl["CB_Logger_Enabled"].text, "false");
        QCOMPARE(lines.size(), byControl.size());
    }
};

QTEST_GUILESS_MAIN(TestPageValues)
#include "tst_page_values.moc"
