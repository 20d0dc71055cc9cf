#include "settings/FieldConversions.h"

#include <QTest>

namespace {
const QLocale Stop(QLocale::English, QLocale::UnitedKingdom);
const QLocale Comma(QLocale::German, QLocale::Germany);
}  // namespace

class TestFieldConversions : public QObject {
    Q_OBJECT
private slots:
    void wordsShowInTheirForm_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("comma");
        const int h = int(FieldForm::Hundredths), t = int(FieldForm::Tenths);
        QTest::newRow("14.00") << h << 1400 << "14.00"
                               << "14,00";
        QTest::newRow("655.35") << h << 65535 << "655.35"
                                << "655,35";
        QTest::newRow("0.29") << h << 29 << "0.29"
                              << "0,29";
        QTest::newRow("0.05") << h << 5 << "0.05"
                              << "0,05";
        QTest::newRow("0.00") << h << 0 << "0.00"
                              << "0,00";
        QTest::newRow("2.0") << t << 20 << "2.0"
                             << "2,0";
        QTest::newRow("0.4") << t << 4 << "0.4"
                             << "0,4";
        QTest::newRow("6553.5") << t << 65535 << "6553.5"
                                << "6553,5";
        QTest::newRow("whole 65535") << int(FieldForm::Whole) << 65535 << "65535"
                                     << "65535";
        QTest::newRow("integer 550") << int(FieldForm::Integer) << 550 << "550"
                                     << "550";
    }
    void wordsShowInTheirForm()
    {
        QFETCH(int, form);
        QFETCH(int, word);
        QFETCH(QString, stop);
        QFETCH(QString, comma);
        QCOMPARE(wordToText(FieldForm(form), quint16(word), Stop), stop);
        QCOMPARE(wordToText(FieldForm(form), quint16(word), Comma), comma);
    }

    void textsReadBackExactly_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("text");  // written with '.', the comma locale gets ','
        QTest::addColumn<int>("word");
        const int h = int(FieldForm::Hundredths), t = int(FieldForm::Tenths), w = int(FieldForm::Whole),
                  i = int(FieldForm::Integer);
        QTest::newRow("0.29 hundredths") << h << "0.29" << 29;
        QTest::newRow("0.299 drops the rest") << h << "0.299" << 29;
        QTest::newRow("655.35") << h << "655.35" << 65535;
        QTest::newRow("655.36 wraps") << h << "655.36" << 0;
        QTest::newRow("700 stores 4464") << h << "700" << 4464;
        QTest::newRow(".5") << h << ".5" << 50;
        QTest::newRow("5.") << h << "5." << 500;
        QTest::newRow("1e2") << h << "1e2" << 10000;
        QTest::newRow("2.0 tenths") << t << "2.0" << 20;
        QTest::newRow("0.45 tenths") << t << "0.45" << 4;
        QTest::newRow("4500.7 whole") << w << "4500.7" << 4500;
        QTest::newRow("-1 whole") << w << "-1" << 0xFFFF;
        QTest::newRow("-1.5 whole") << w << "-1.5" << 0xFFFF;
        QTest::newRow("-0.5 whole") << w << "-0.5" << 0;
        QTest::newRow("+7 whole") << w << "+7" << 7;
        QTest::newRow("long whole") << w << "12345678901234567890" << 2770;
        QTest::newRow("padded") << w << " 42 " << 42;
        QTest::newRow("integer 550") << i << "550" << 550;
        QTest::newRow("integer -1") << i << "-1" << 0xFFFF;
        QTest::newRow("integer 65536") << i << "65536" << 0;
    }
    void textsReadBackExactly()
    {
        QFETCH(int, form);
        QFETCH(QString, text);
        QFETCH(int, word);
        for (const QLocale &locale : {Stop, Comma}) {
            QString typed = text;
            typed.replace(QLatin1Char('.'), locale.decimalPoint());
            const WordParse r = textToWord(FieldForm(form), typed, locale);
            QVERIFY2(r.ok, qPrintable(typed + QLatin1Char(' ') + r.error));
            QCOMPARE(int(r.word), word);
        }
    }

    void nonNumbersFailWithTheSystemsMessage_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const int h = int(FieldForm::Hundredths), w = int(FieldForm::Whole), i = int(FieldForm::Integer);
        QTest::newRow("12.5 integer") << i << "12.5"
                                      << "'12.5' is not a valid integer value";
        QTest::newRow("empty integer") << i << ""
                                       << "'' is not a valid integer value";
        QTest::newRow("empty hundredths") << h << ""
                                          << "'' is not a valid floating point value";
        QTest::newRow("letters") << w << "abc"
                                 << "'abc' is not a valid floating point value";
        QTest::newRow("two points") << h << "1.2.3"
                                    << "'1.2.3' is not a valid floating point value";
        QTest::newRow("lone point") << h << "."
                                    << "'.' is not a valid floating point value";
        QTest::newRow("lone sign") << w << "-"
                                   << "'-' is not a valid floating point value";
        QTest::newRow("bare exponent") << h << "1e"
                                       << "'1e' is not a valid floating point value";
        QTest::newRow("inner space") << i << "1 2"
                                     << "'1 2' is not a valid integer value";
        QTest::newRow("integer exponent") << i << "1e2"
                                          << "'1e2' is not a valid integer value";
    }
    void nonNumbersFailWithTheSystemsMessage()
    {
        QFETCH(int, form);
        QFETCH(QString, text);
        QFETCH(QString, message);
        for (const QLocale &locale : {Stop, Comma}) {
            QString typed = text;
            typed.replace(QLatin1Char('.'), locale.decimalPoint());
            QString expected = message;
            expected.replace(QLatin1Char('.'), locale.decimalPoint());
            const WordParse r = textToWord(FieldForm(form), typed, locale);
            QVERIFY(!r.ok);
            QCOMPARE(r.error, expected);
        }
    }

    void onlyTheLocalesSeparatorCounts()
    {
        QVERIFY(!textToWord(FieldForm::Hundredths, u"12,5", Stop).ok);
        QVERIFY(!textToWord(FieldForm::Hundredths, u"12.5", Comma).ok);
        QCOMPARE(textToWord(FieldForm::Hundredths, u"12,5", Comma).word, quint16(1250));
    }

    void everyShownWordReadsBackToItself()
    {
        for (FieldForm form : {FieldForm::Hundredths, FieldForm::Tenths, FieldForm::Whole, FieldForm::Integer}) {
            for (const QLocale &locale : {Stop, Comma}) {
                for (int w = 0; w <= 0xFFFF; ++w) {
                    const WordParse r = textToWord(form, wordToText(form, quint16(w), locale), locale);
                    if (!r.ok || r.word != w)
                        QFAIL(qPrintable(QStringLiteral("word %1 form %2").arg(w).arg(int(form))));
                }
            }
        }
    }

    void percentSlidersUse655Steps()
    {
        QCOMPARE(percentFromWord(0x0CCB), 5);
        QCOMPARE(percentFromWord(65535), 100);
        QCOMPARE(percentFromWord(654), 0);
        QCOMPARE(wordFromPercent(100), quint16(65500));
        QCOMPARE(percentCaptionToWord(u"37").word, quint16(37 * 655));
        QCOMPARE(percentCaptionToWord(u"101").word, quint16(619));
        const WordParse bad = percentCaptionToWord(u"x");
        QVERIFY(!bad.ok);
        QCOMPARE(bad.error, QStringLiteral("'x' is not a valid integer value"));
    }

    void sampleRatePositionsAndCodes()
    {
        const QStringList items = rateItems();
        QCOMPARE(items.size(), RateCount);
        QCOMPARE(items.first(), QStringLiteral("244Hz"));
        QCOMPARE(items[7], QStringLiteral("22Hz"));
        QCOMPARE(items.last(), QStringLiteral("5Hz"));
        const int codes[RateCount] = {0, 1, 2, 3, 4, 5, 6, 10, 15, 20, 25, 30, 35, 40, 45};
        for (int p = 0; p < RateCount; ++p) {
            QCOMPARE(int(rateCodeFromPosition(p)), codes[p]);
            QCOMPARE(ratePositionFromCode(codes[p]), p);
            // Each label is 244 Hz / (code + 1), rounded.
            QCOMPARE(items[p], QStringLiteral("%1Hz").arg(qRound(244.0 / (codes[p] + 1))));
        }
        QCOMPARE(ratePositionFromCode(12), 7);
        QCOMPARE(ratePositionFromCode(13), 8);
        QCOMPARE(ratePositionFromCode(7), 6);
        QCOMPARE(ratePositionFromCode(47), 14);
        QCOMPARE(ratePositionFromCode(48), -1);
        QCOMPARE(ratePositionFromCode(50), -1);
        QCOMPARE(ratePositionFromCode(65535), -1);
        QCOMPARE(int(rateCodeFromPosition(-1)), 0);
        QCOMPARE(int(rateCodeFromPosition(15)), 0);
    }

    void channelFlagsNameTheWheels()
    {
        QCOMPARE(wheelOfChannel(0xFF, 0xFF), Wheel::FrontLeft);
        QCOMPARE(wheelOfChannel(0xFF, 0x00), Wheel::FrontRight);
        QCOMPARE(wheelOfChannel(0x00, 0xFF), Wheel::RearLeft);
        QCOMPARE(wheelOfChannel(0x00, 0x00), Wheel::RearRight);
        QCOMPARE(wheelOfChannel(0x01, 0xFE), Wheel::RearRight);  // only 0xFF counts as set
        for (Wheel w : {Wheel::FrontLeft, Wheel::FrontRight, Wheel::RearLeft, Wheel::RearRight}) {
            const ChannelFlags f = channelFlagsOf(w);
            QVERIFY(f.front == 0xFF || f.front == 0x00);
            QCOMPARE(wheelOfChannel(f.front, f.left), w);
        }
        QCOMPARE(channelFrontOffset(3), 72);
        QCOMPARE(channelLeftOffset(1), 114);
        QCOMPARE(channelFromText(u"CH3"), 2);
        QCOMPARE(channelFromText(u"ch3"), -1);
        QCOMPARE(channelFromText(u"CH5"), -1);
        QCOMPARE(channelFromText(u""), -1);
    }
};

QTEST_GUILESS_MAIN(TestFieldConversions)
#include "tst_field_conversions.moc"
