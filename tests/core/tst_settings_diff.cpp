// The comparison of two settings images, as a write's confirmation and a verify list it.
#include "settings/SettingsDiff.h"

#include <QTest>

namespace {
const QLocale Stop(QLocale::English, QLocale::UnitedKingdom);

QStringList lines(const QList<SettingChange> &changes)
{
    QStringList out;
    for (const SettingChange &c : changes)
        out << c.line();
    return out;
}
}  // namespace

class TestSettingsDiff : public QObject {
    Q_OBJECT
private slots:
    void sameImagesHaveNoChanges() { QVERIFY(compareImages(SettingsImage(), SettingsImage(), Stop).isEmpty()); }

    // One change of each encoding, named as the pages name it, in the order of the image.
    void everyEncodingIsListedAsThePagesShowIt()
    {
        const SettingsImage before;
        SettingsImage after = before;
        after.setWord(2, 20 * 655);  // percent: Sequence 2's assert slider 10 -> 20
        after.setWord(6, 0x0001);    // carried, on no page
        after.setWord(12, 25);       // tenths: dry start delay 2.0 -> 2.5
        after.setWord(18, 1500);     // hundredths: 14.00 -> 15.00
        after.setWord(34, 5000);     // whole: launch dry hard cut
        after.setByte(38, 0xFF);     // flag: logging on
        after.setWord(54, 600);      // integer: driven wheel diameter
        after.setByte(66, 0x00);     // CH1: front left -> rear left (its left flag stays)
        after.setWord(78, 10);       // sample rate 122Hz -> 22Hz
        after.setByte(147, '0');     // Sequence 1, cell 20
        after.setByte(228, '1');     // Hard rev-limit, cell 1

        const QList<SettingChange> changes = compareImages(before, after, Stop);
        QCOMPARE(lines(changes),
                 QStringList({
                     "Slip control / Sequence 2 / Assert at: 10 -> 20 % Slip",
                     "Not shown / Bytes 6-7: FF FF -> 00 01",
                     "Launch control / Dry settings / Start delay: 2.0 -> 2.5 Sec",
                     "Configuration / Minimum operating thresholds / Speed: 14.00 -> 15.00 Kmh",
                     "Launch control / Dry settings / Hard cut: 4800 -> 5000 RPM",
                     "Data logging / Data logging / Enable data logging: off -> on",
                     "Wheels / Driven / Wheel diameter: 550 -> 600 mm",
                     "Wheels / CH1: front left -> rear left",
                     "Data logging / Data logging / Sample rate: 122Hz -> 22Hz",
                     "Slip control / Sequence 1: 10111011101110111011 -> 10111011101110111010",
                     "Rev limits / Hard rev-limit settings: 00000000000000000000 -> 10000000000000000000",
                 }));
        // Patterns are marked for the boxes; the rest are plain values with their place.
        QVERIFY(changes[9].pattern && changes[10].pattern);
        QVERIFY(!changes[3].pattern);
        QCOMPARE(changes[3].offset, 18);
        QCOMPARE(changes[3].size, 2);
        QCOMPARE(changes[7].page, QStringLiteral("Wheels"));
        QCOMPARE(changes[0].unit, QStringLiteral("% Slip"));

        // Turned round, the same settings with before and after exchanged.
        const QList<SettingChange> back = compareImages(after, before, Stop);
        QCOMPARE(back.size(), changes.size());
        for (qsizetype i = 0; i < back.size(); ++i) {
            QCOMPARE(back[i].before, changes[i].after);
            QCOMPARE(back[i].after, changes[i].before);
        }
    }

    // Every byte counts: values the pages would show alike still differ, by their raw bytes.
    void bytesThatLookAlikeAreTold()
    {
        const SettingsImage before;
        SettingsImage after = before;
        after.setByte(44, 0x01);         // "on", as the 0xFF it is compared with
        after.setWord(14, 5 * 655 + 1);  // the slider still shows 5
        after.setByte(130, '2');         // no spark, where a '1' stood
        after.setByte(39, 0x00);         // the logging slot's second byte
        after.setWord(78, 12);           // code 12 shows as 22Hz, like code 10
        SettingsImage ten = before;
        ten.setWord(78, 10);
        ten.setByte(44, 0xFF);

        const QStringList shown = lines(compareImages(ten, after, Stop));
        QCOMPARE(shown, QStringList({
                            "Configuration / Turning / Straight line override: 5 (0C CB) -> 5 (0C CC) %",
                            "Not shown / Byte 39: FF -> 00",
                            "Configuration / Misfire mode / Non sequential mode: on (FF) -> on (01)",
                            "Data logging / Data logging / Sample rate: 22Hz (00 0A) -> 22Hz (00 0C)",
                            "Slip control / Sequence 1: 10111011101110111011 -> 10011011101110111011",
                        }));

        // A cell of a byte that is neither '0' nor '1' shows as no spark; against a '0' it looks
        // the same, so the row is told by its bytes.
        SettingsImage zero = before, odd = before;
        zero.setByte(128, '0');
        odd.setByte(128, '2');
        const QList<SettingChange> cells = compareImages(zero, odd, Stop);
        QCOMPARE(cells.size(), 1);
        QVERIFY(!cells[0].pattern);
        QVERIFY(cells[0].before.startsWith("30 30 31 31"));
        QVERIFY(cells[0].after.startsWith("32 30 31 31"));
    }

    void channelsAndRatesWithoutAShownValue()
    {
        const SettingsImage before;
        SettingsImage after = before;
        after.setByte(114, 0xFF);  // CH2's left flag: front right -> front left
        after.setWord(78, 50);     // past the list: no rate chosen
        QCOMPARE(lines(compareImages(before, after, Stop)),
                 QStringList({"Wheels / CH2: front right -> front left",
                              "Data logging / Data logging / Sample rate: 122Hz -> (none)"}));
    }

    void valuesFollowTheLocale()
    {
        SettingsImage after;
        after.setWord(18, 1525);
        const QLocale comma(QLocale::German, QLocale::Germany);
        const QList<SettingChange> changes = compareImages(SettingsImage(), after, comma);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0].before, QStringLiteral("14,00"));
        QCOMPARE(changes[0].after, QStringLiteral("15,25"));
    }
};

QTEST_MAIN(TestSettingsDiff)
#include "tst_settings_diff.moc"
