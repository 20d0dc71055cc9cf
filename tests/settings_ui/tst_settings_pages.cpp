#include "ScriptedDialogs.h"
#include "settings/WheelDiameter.h"
#include "settings/ui/MainFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

class TestSettingsPages : public QObject {
    Q_OBJECT
    template <typename T> T *get(TAFrame &f, const char *name) { return f.findChild<T *>(QString::fromLatin1(name)); }

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void defaultImageIsShown()
    {
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        QCOMPARE(get<QLineEdit>(f, "Co_Mot_Speed")->text(), QString("14.00"));
        QCOMPARE(get<QLineEdit>(f, "MaxOpSpd_Edit")->text(), QString("655.35"));
        QCOMPARE(get<QLineEdit>(f, "LC_Dry_Start_delay")->text(), QString("2.0"));
        QCOMPARE(get<QSlider>(f, "Co_Stright_line_Override_Gph")->value(), 5);
        QCOMPARE(get<QLabel>(f, "Co_Stright_line_Override_Val")->text(), QString("5"));
        QCOMPARE(get<QComboBox>(f, "Sample_Rate")->currentText(), QString("122Hz"));
        QCOMPARE(get<QLabel>(f, "Total_log_time")->text(), QString("Total Log Time is 2 Min 58 Seconds"));
        QCOMPARE(get<QComboBox>(f, "Sensor_FL")->currentText(), QString("CH1"));
        QCOMPARE(get<QComboBox>(f, "Sensor_RR")->currentText(), QString("CH4"));
        QVERIFY(f.Modified());
    }

    void defaultImageRoundTrips()
    {
        TAFrame f;
        const SettingsImage in;
        f.FillPagesFromImage(in);
        SettingsImage out;
        out.setByte(250, 0x12);
        out = in;
        QVERIFY(f.CopyPagesToImage(out));
        QCOMPARE(out.toByteArray(), in.toByteArray());
    }

    void keysAreFilteredInBothLocales()
    {
        for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German)}) {
            QLocale::setDefault(locale);
            TAFrame f;
            auto *edit = get<QLineEdit>(f, "Co_Mot_Speed");
            edit->clear();
            const QString sep = locale.decimalPoint();
            QTest::keyClicks(edit, "1a- 2" + sep + "3" + sep + "4");
            QCOMPARE(edit->text(), "12" + sep + "34");
            QTest::keyClicks(edit, "5678");  // limit of 7
            QCOMPARE(edit->text().size(), 7);
        }
    }

    void conversionErrorStopsAtTheField()
    {
        ScriptedDialogs dialogs;
        dialogs.expectError();
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        get<QLineEdit>(f, "Co_Mot_revs")->setText("3000");          // offset 10, before
        get<QLineEdit>(f, "Wh_Driven_Dia")->setText("12.5");        // offset 54, fails
        get<QLineEdit>(f, "Co_Revs_Scale")->setText("99");          // offset 80, after
        SettingsImage image;
        QVERIFY(!f.CopyPagesToImage(image));
        QCOMPARE(dialogs.lastText(), QString("'12.5' is not a valid integer value"));
        QCOMPARE(image.word(10), quint16(3000));
        QCOMPARE(image.word(80), quint16(35));
    }

    void channelConflictTakesTheLaterWheel()
    {
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        get<QComboBox>(f, "Sensor_FR")->setCurrentIndex(0);  // FL and FR both CH1
        SettingsImage image;
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.byte(66), quint8(0xFF));
        QCOMPARE(image.byte(112), quint8(0x00));
    }

    void setAllTouchesOnlyItsRow()
    {
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        f.SetModified(false);
        QTest::mouseClick(get<QAbstractButton>(f, "BitBtn13"), Qt::LeftButton);
        SettingsImage image;
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.toByteArray().mid(188, 20), QByteArray(20, '1'));
        QCOMPARE(image.toByteArray().mid(168, 20), QByteArray("10101010101010101010"));
        QVERIFY(f.Modified());
    }

    void testSheetListsDoNotMarkModified()
    {
        TAFrame f;
        f.SetModified(false);
        f.Test_CMiss_Type->setCurrentIndex(2);
        QTest::keyClicks(f.Test_CMiss_Time->lineEdit(), "7");
        QVERIFY(!f.Modified());
    }

    void diameterFormulaIsExact()
    {
        using namespace WheelDiameter;
        const auto rim = [](const char *t) { return *parseDecimal(QString::fromLatin1(t), QLocale::c()); };
        QCOMPARE(diameterMm(205, 55, rim("16")), 632);
        QCOMPARE(diameterMm(145, 35, rim("20")), 610);
        QCOMPARE(diameterMm(145, 45, rim("15")), 512);
        QCOMPARE(diameterMm(335, 85, rim("23")), 1154);
        QCOMPARE(sizeCaption(205, 55, rim("16.50")), QString("205 / 55 R16.5"));
        QVERIFY(!parseDecimal(u"16.5", QLocale(QLocale::German)));
    }

    void calculatorRoundsHalfToEven()
    {
        TAFrame f;
        f.show();
        QTimer::singleShot(0, [&] {
            TWDC *d = f.WDC();
            d->Wheel_Width->setCurrentIndex(0);   // 145
            d->Wheel_Height->setCurrentIndex(1);  // 35
            d->Wheel_Radius->setCurrentIndex(3);  // 15
            d->WDC_Ok_Btn->click();
        });
        f.Driven_Dia_CalcClick();
        QCOMPARE(get<QLineEdit>(f, "Wh_Driven_Dia")->text(), QString("482"));
        QCOMPARE(get<QLabel>(f, "Drivern_label")->text(), QString("145 / 35 R15"));
        QTimer::singleShot(0, [&] { f.WDC()->WDC_Cancel_Btn->click(); });
        get<QLineEdit>(f, "Wh_Driven_Dia")->setText("1");
        f.Driven_Dia_CalcClick();
        QCOMPARE(get<QLineEdit>(f, "Wh_Driven_Dia")->text(), QString("1"));
        QCOMPARE(f.DrivenTyre.height, quint8(1));
    }
};

QTEST_MAIN(TestSettingsPages)
#include "tst_settings_pages.moc"
