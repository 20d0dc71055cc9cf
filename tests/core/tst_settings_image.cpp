#include "settings/SettingsImage.h"

#include <QTest>

class TestSettingsImage : public QObject {
    Q_OBJECT
private slots:
    void defaultImageHoldsTheBuiltInBytes()
    {
        const SettingsImage image;
        QCOMPARE(image.word(0), quint16(0x0CCB));
        QCOMPARE(image.word(18), quint16(0x0578));  // 14.00 km/h
        QCOMPARE(image.word(86), quint16(0xFFFF));
        QCOMPARE(image.byte(66), quint8(0xFF));
        QCOMPARE(image.byte(112), quint8(0xFF));
        QCOMPARE(image.byte(114), quint8(0x00));
        const QByteArray bytes = image.toByteArray();
        QCOMPARE(bytes.size(), 256);
        QCOMPARE(bytes.mid(128, 20), QByteArray("10111011101110111011"));
        QCOMPARE(bytes.mid(228, 20), QByteArray("00000000000000000000"));
        QCOMPARE(bytes.mid(248), QByteArray(8, char(0xFF)));
    }

    void wordsAreBigEndian()
    {
        SettingsImage image;
        image.setWord(10, 0x1234);
        QCOMPARE(image.byte(10), quint8(0x12));
        QCOMPARE(image.byte(11), quint8(0x34));
        QCOMPARE(SwapBytes16(0x1234), quint16(0x3412));
    }
};

QTEST_GUILESS_MAIN(TestSettingsImage)
#include "tst_settings_image.moc"
