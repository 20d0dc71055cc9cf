// The plausibility check of a settings image, on hand-made images.
#include "settings/Plausibility.h"

#include <QSet>
#include <QTest>

namespace {
const QLocale Stop(QLocale::English, QLocale::UnitedKingdom);

QStringList lines(const SettingsImage &image)
{
    QStringList out;
    for (const Implausible &i : checkPlausibility(image, Stop))
        out << i.line();
    return out;
}
}  // namespace

class TestPlausibility : public QObject {
    Q_OBJECT
private slots:
    void theDefaultImageIsPlausible() { QCOMPARE(lines(SettingsImage()), QStringList()); }

    // Each rule once, named as the pages name the field, in the order of the image.
    void everyRuleNamesPageLabelAndValue()
    {
        SettingsImage image;
        image.setByte(38, 0x01);   // a flag neither on nor off
        image.setWord(46, 123);    // three digits in the two-character cylinders box
        image.setWord(54, 0);      // driven wheel diameter
        image.setWord(64, 0);      // reference pulses
        image.setByte(70, 0x80);   // CH3's front flag
        image.setByte(118, 0x7F);  // CH4's left flag
        image.setWord(78, 48);     // the first code past the list
        image.setWord(82, 10);     // smoothing: one character
        image.setByte(130, '2');
        image.setByte(147, 0x00);
        QCOMPARE(
            lines(image),
            QStringList({
                "Data logging / Data logging / Enable data logging: 01 (an on/off setting holds 00 or FF)",
                "Configuration / Cylinders / Number of cylinders: 123 (longer than the 2 characters its box takes)",
                "Wheels / Driven / Wheel diameter: 0 (cannot be zero)",
                "Wheels / Reference / Pulses per revolution: 0 (cannot be zero)",
                "Wheels / CH3: front flag 80 (an on/off setting holds 00 or FF)",
                "Data logging / Data logging / Sample rate: code 48 (the sample rate code is below 48)",
                "Configuration / Smoothing / Smoothing level: 10 (longer than the 1 characters its box takes)",
                "Wheels / CH4: left flag 7F (an on/off setting holds 00 or FF)",
                "Slip control / Sequence 1: cell 3: 32, cell 20: 00 (a cut cell holds \"0\" or \"1\")",
            }));
        const QList<Implausible> found = checkPlausibility(image, Stop);
        QCOMPARE(found[2].offset, 54);
        QCOMPARE(found[8].offset, 128);
    }

    // The edges of each rule: what the field can hold passes.
    void valuesAtTheEdgesPass()
    {
        SettingsImage image;
        image.setWord(78, 45);  // the last code of the list
        image.setWord(82, 9);
        image.setWord(46, 99);
        image.setWord(54, 1);
        image.setByte(44, 0xFF);
        image.setWord(86, 0xFFFF);  // 655.35 fills the six characters of its box exactly
        image.setWord(12, 9999);    // 999.9 in a box of five
        QCOMPARE(lines(image), QStringList());
        image.setWord(12, 10000);  // 1000.0 does not fit
        QCOMPARE(lines(image), QStringList({"Launch control / Dry settings / Start delay: 1000.0 "
                                            "(longer than the 5 characters its box takes)"}));
    }

    // A file of noise: everything wrong is found, and the check does not stop at the first.
    void noiseFindsManyAndEveryOneOnce()
    {
        SettingsImage image;
        for (int i = 0; i < SettingsImage::Size; ++i)
            image.setByte(i, quint8(0xA5 ^ i));
        const QList<Implausible> found = checkPlausibility(image, Stop);
        QVERIFY(found.size() > 10);
        QSet<QString> names;
        for (const Implausible &i : found) {
            QVERIFY2(!names.contains(i.line()), qPrintable(i.line()));
            names.insert(i.line());
        }
    }
};

QTEST_MAIN(TestPlausibility)
#include "tst_plausibility.moc"
