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

#include <functional>

class TestSettingsPages : public QObject {
    Q_OBJECT
    template <typename T> T *get(TAFrame &f, const char *name) { return f.findChild<T *>(QString::fromLatin1(name)); }

    // Runs the calculator for one wheel, 'answer' acting on the dialog while it is shown.
    static void runCalculator(TAFrame &f, bool driven, std::function<void(TWDC *)> answer)
    {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            answered = true;
            answer(f.WDC());
        });
        driven ? f.Driven_Dia_CalcClick() : f.Reference_Dia_CalcClick();
        QVERIFY(answered);
    }

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

    // The copy writes what the pages show and nothing else: every byte no page shows keeps
    // the value of the image it is copied into, not that of the image the pages were filled from.
    void defaultImageRoundTripsAndCarriedBytesStay()
    {
        TAFrame f;
        const SettingsImage in;
        f.FillPagesFromImage(in);
        SettingsImage out = in;
        QVERIFY(f.CopyPagesToImage(out));
        QCOMPARE(out.toByteArray(), in.toByteArray());

        const std::pair<int, int> carried[] = {{6, 7},     {26, 27},   {36, 37},   {39, 41},   {45, 45},   {48, 53},
                                               {56, 59},   {62, 63},   {67, 67},   {69, 69},   {71, 71},   {73, 75},
                                               {77, 77},   {88, 95},   {108, 111}, {113, 113}, {115, 115}, {117, 117},
                                               {119, 119}, {124, 127}, {248, 255}};
        SettingsImage other = in;
        for (const auto &[first, last] : carried)
            for (int offset = first; offset <= last; ++offset)
                other.setByte(offset, quint8(in.byte(offset) ^ 0x5A));
        SettingsImage expected = other;
        QVERIFY(f.CopyPagesToImage(other));
        for (int i = 0; i < SettingsImage::Size; ++i)
            QVERIFY2(other.byte(i) == expected.byte(i), qPrintable(QString("offset %1").arg(i)));
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

    void typingStopsAtEachBoxsLimit()
    {
        TAFrame f;
        const std::pair<const char *, int> limits[] = {{"Co_Min_Turn_speed", 7},  {"MaxOpSpd_Edit", 6},
                                                       {"Co_Mot_revs", 5},        {"SS_Num_Cylinders", 2},
                                                       {"ss_Smoothing_value", 1}, {"SC_Int_start_after", 7}};
        for (const auto &[name, limit] : limits) {
            auto *edit = get<QLineEdit>(f, name);
            edit->clear();
            QTest::keyClicks(edit, "123456789");
            QCOMPARE(edit->text(), QString("123456789").left(limit));
            // Over a selection the typed digit replaces it.
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_7);
            QCOMPARE(edit->text(), QString("7"));
        }
        // Text the program sets is not cut.
        f.FillPagesFromImage(SettingsImage());
        get<QLineEdit>(f, "ss_Smoothing_value")->setText("12345");
        QCOMPARE(get<QLineEdit>(f, "ss_Smoothing_value")->text(), QString("12345"));
    }

    void everySheetFitsTheMainWindowBody()
    {
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        f.resize(760, 441);
        f.show();
        for (int i = 0; i < f.PageControl1->count(); ++i) {
            f.PageControl1->setCurrentIndex(i);
            const QSize needed = f.minimumSizeHint();
            QVERIFY2(needed.width() <= 760 && needed.height() <= 441, qPrintable(QString("%1 needs %2 x %3")
                                                                                     .arg(f.PageControl1->tabText(i))
                                                                                     .arg(needed.width())
                                                                                     .arg(needed.height())));
            // Nothing is cut off: every label of the sheet shows its whole text.
            QCoreApplication::processEvents();
            int labels = 0;
            for (QLabel *label : f.PageControl1->currentWidget()->findChildren<QLabel *>()) {
                if (!label->isVisibleTo(&f) || label->text().isEmpty())
                    continue;
                ++labels;
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            }
            QVERIFY(labels > 0);
        }
    }

    void conversionErrorStopsAtTheField()
    {
        ScriptedDialogs dialogs;
        dialogs.expectError();
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        get<QLineEdit>(f, "Co_Mot_revs")->setText("3000");    // offset 10, before
        get<QLineEdit>(f, "Wh_Driven_Dia")->setText("12.5");  // offset 54, fails
        get<QLineEdit>(f, "Co_Revs_Scale")->setText("99");    // offset 80, after
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

        // A typed text that is none of the items is no choice: that wheel writes nothing.
        auto *rl = get<QComboBox>(f, "Sensor_RL");
        rl->lineEdit()->selectAll();
        QTest::keyClicks(rl->lineEdit(), "CH5");
        image.setByte(70, 0x42);
        image.setByte(116, 0x43);
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.byte(70), quint8(0x42));
        QCOMPARE(image.byte(116), quint8(0x43));
        QCOMPARE(image.byte(72), quint8(0x00));  // CH4 still rear right
        QCOMPARE(image.byte(118), quint8(0x00));
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

    // The test sheet's lists set up an output test, not the unit's settings: a user choosing in
    // them leaves the pages unmodified, while the same choice in a settings list marks them.
    void testSheetListsDoNotMarkModified()
    {
        TAFrame f;
        f.SetModified(false);
        QTest::keyClick(f.Test_CMiss_Type, Qt::Key_Down);
        QCOMPARE(f.Test_CMiss_Type->currentIndex(), 1);
        QVERIFY(!f.Modified());
        QTest::keyClicks(f.Test_CMiss_Time->lineEdit(), "7");
        QVERIFY(!f.Modified());
        QTest::keyClick(get<QComboBox>(f, "Sample_Rate"), Qt::Key_Down);
        QVERIFY(f.Modified());
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

    void sampleRatePositionsWriteTheirCodes()
    {
        const quint16 codes[] = {0, 1, 2, 3, 4, 5, 6, 10, 15, 20, 25, 30, 35, 40, 45};
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        auto *rate = get<QComboBox>(f, "Sample_Rate");
        auto *caption = get<QLabel>(f, "Total_log_time");
        QCOMPARE(rate->count(), 15);
        for (int p = 0; p < 15; ++p) {
            f.SetModified(false);
            QTest::keyClick(rate, p == 0 ? Qt::Key_Up : Qt::Key_Down);  // "122Hz" is shown first
            QCOMPARE(rate->currentIndex(), p);
            QVERIFY2(f.Modified(), qPrintable(rate->currentText()));
            SettingsImage image;
            QVERIFY(f.CopyPagesToImage(image));
            QCOMPARE(image.word(78), codes[p]);
            // The caption states (code + 1) x 89.48 s to within a second.
            const QStringList words = caption->text().split(u' ');
            QCOMPARE(words.size(), 8);
            const int seconds = words[4].toInt() * 60 + words[6].toInt();
            QVERIFY2(qAbs(seconds - (codes[p] + 1) * 89.48) <= 1.0, qPrintable(caption->text()));
        }
        QCOMPARE(rate->currentText(), QString("5Hz"));
        QCOMPARE(caption->text(), QString("Total Log Time is 68 Min 36 Seconds"));

        // A typed rate names none: the caption stays, the change still marks, code 0 is stored.
        f.SetModified(false);
        rate->lineEdit()->selectAll();
        QTest::keyClicks(rate->lineEdit(), "100Hz");
        QVERIFY(f.Modified());
        QCOMPARE(caption->text(), QString("Total Log Time is 68 Min 36 Seconds"));
        SettingsImage image;
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.word(78), quint16(0));
    }

    void sampleRateCodesShowAtTheirPositions()
    {
        TAFrame f;
        SettingsImage image;
        const struct {
            quint16 code;
            const char *shown;
            quint16 back;
        } cases[] = {{10, "22Hz", 10}, {12, "22Hz", 10}, {45, "5Hz", 45}, {47, "5Hz", 45}, {48, "", 0}, {50, "", 0}};
        for (const auto &c : cases) {
            image.setWord(78, c.code);
            f.FillPagesFromImage(image);
            QCOMPARE(get<QComboBox>(f, "Sample_Rate")->currentText(), QString(c.shown));
            SettingsImage out;
            QVERIFY(f.CopyPagesToImage(out));
            QCOMPARE(out.word(78), c.back);
        }
        // No rate chosen leaves the caption of the rate before.
        QCOMPARE(get<QLabel>(f, "Total_log_time")->text(), QString("Total Log Time is 68 Min 36 Seconds"));
    }

    void sliderCaptionFollowsAndIsWhatIsStored()
    {
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        auto *slider = get<QSlider>(f, "LC_Slip_to_reinstate_Gph");
        auto *caption = get<QLabel>(f, "LC_Slip_to_reinstate_Val");
        QCOMPARE(caption->text(), QString("20"));
        f.SetModified(false);
        slider->setValue(37);  // as a drag leaves it
        QCOMPARE(caption->text(), QString("37"));
        QVERIFY(f.Modified());
        SettingsImage image;
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.word(120), quint16(37 * 655));

        // One arrow step throws the slider to an end.
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(caption->text(), QString("100"));
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.word(120), quint16(0xFFDC));
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(caption->text(), QString("0"));

        image.setWord(0, 0xFFFF);
        f.FillPagesFromImage(image);
        QCOMPARE(get<QSlider>(f, "Sc_Seq1_Assert_Graphical")->value(), 100);
        QCOMPARE(get<QLabel>(f, "Sc_Seq1_Assert_Value")->text(), QString("100"));
    }

    void everyKindOfChangeMarksModified()
    {
        TAFrame f;
        QStringList panel;
        connect(&f, &TAFrame::modifiedText, this, [&](const QString &t) { panel << t; });
        f.FillPagesFromImage(SettingsImage());
        QVERIFY(f.Modified());
        QCOMPARE(panel.last(), QString("Modified"));

        const std::pair<const char *, std::function<void()>> changes[] = {
            {"typed edit", [&] { QTest::keyClick(get<QLineEdit>(f, "Co_Mot_revs"), Qt::Key_Backspace); }},
            {"slider", [&] { QTest::keyClick(get<QSlider>(f, "Sc_Seq2_Assert_Graphical"), Qt::Key_Right); }},
            {"cut-row box", [&] { QTest::mouseClick(get<QAbstractButton>(f, "Cs_Soft_rev_7"), Qt::LeftButton); }},
            {"set-all", [&] { QTest::mouseClick(get<QAbstractButton>(f, "BitBtn10"), Qt::LeftButton); }},
            {"check box", [&] { get<QCheckBox>(f, "CO_Inv_Clutch_Sw")->click(); }},
            {"channel list", [&] { QTest::keyClick(get<QComboBox>(f, "Sensor_RL"), Qt::Key_Down); }},
            {"channel typed", [&] { QTest::keyClicks(get<QComboBox>(f, "Sensor_FR")->lineEdit(), "x"); }},
            {"sample rate", [&] { QTest::keyClick(get<QComboBox>(f, "Sample_Rate"), Qt::Key_Up); }},
        };
        for (const auto &[what, change] : changes) {
            f.SetModified(false);
            QCOMPARE(panel.last(), QString());
            change();
            QVERIFY2(f.Modified(), what);
            QCOMPARE(panel.last(), QString("Modified"));
        }

        // A list choice the program makes raises no change report.
        f.SetModified(false);
        get<QComboBox>(f, "Sensor_RL")->setCurrentIndex(3);
        get<QComboBox>(f, "Sample_Rate")->setCurrentIndex(9);
        QVERIFY(!f.Modified());
    }

    void exceptionsOfTheRoundTrip()
    {
        SettingsImage in;
        in.setWord(0, 1000);   // percent off the 655 grid
        in.setWord(2, 65535);  // 100 %, back as 65500
        in.setByte(38, 0x01);  // flag neither on nor off
        in.setByte(39, 0x5A);  // second byte of the slot: carried
        in.setByte(44, 0x80);
        in.setByte(45, 0x11);
        // CH1 and CH2 both front left, CH4 front flag 0x7F (reads as rear).
        const quint8 front[] = {0xFF, 0xFF, 0x00, 0x7F};
        const quint8 left[] = {0xFF, 0xFF, 0xFF, 0x00};
        for (int n = 0; n < 4; ++n) {
            in.setByte(66 + 2 * n, front[n]);
            in.setByte(112 + 2 * n, left[n]);
            in.setByte(67 + 2 * n, quint8(0xA0 + n));
        }
        in.setWord(78, 12);
        // Rows whose last cells differ from the row after them, and one stray byte.
        const char *rows[] = {"11000000000000000001", "00110000000000000000", "00001100000000000001",
                              "00000011000000000000", "00000000110000000001", "00000000001100000001"};
        for (int r = 0; r < 6; ++r)
            for (int k = 0; k < 20; ++k)
                in.setByte(128 + 20 * r + k, quint8(rows[r][k]));
        in.setByte(150, 0x32);
        in.setByte(6, 0x12);  // carried bytes
        in.setByte(57, 0x34);
        in.setByte(255, 0x56);

        TAFrame f;
        f.FillPagesFromImage(SettingsImage());  // FR shows CH2 before the odd image comes in
        f.FillPagesFromImage(in);
        QCOMPARE(get<QComboBox>(f, "Sensor_FL")->currentText(), QString("CH2"));
        QCOMPARE(get<QComboBox>(f, "Sensor_FR")->currentText(), QString("CH2"));
        QCOMPARE(get<QComboBox>(f, "Sensor_RR")->currentText(), QString("CH4"));
        QCOMPARE(get<QComboBox>(f, "Sample_Rate")->currentText(), QString("22Hz"));
        QVERIFY(!get<QAbstractButton>(f, "SC_Seq2_3")->isChecked());
        QVERIFY(get<QAbstractButton>(f, "SC_Seq3_20")->isChecked());
        QVERIFY(!get<QAbstractButton>(f, "SC_Integral_20")->isChecked());
        QVERIFY(get<QAbstractButton>(f, "Cs_Hard_rev_20")->isChecked());

        SettingsImage out = in;
        QVERIFY(f.CopyPagesToImage(out));
        SettingsImage expected = in;
        expected.setWord(0, 655);
        expected.setWord(2, 65500);
        expected.setByte(38, 0xFF);
        expected.setByte(44, 0xFF);
        // FL then FR took CH2: the later wheel's flags; CH1 chosen for none keeps its own.
        expected.setByte(68, 0xFF);
        expected.setByte(114, 0x00);
        expected.setByte(72, 0x00);
        expected.setWord(78, 10);
        expected.setByte(150, '0');
        for (int i = 0; i < 256; ++i)
            QVERIFY2(out.byte(i) == expected.byte(i), qPrintable(QString("offset %1").arg(i)));
    }

    void entriesAreStoredAsTyped()
    {
        ScriptedDialogs dialogs;
        TAFrame f;
        f.FillPagesFromImage(SettingsImage());
        get<QLineEdit>(f, "Co_Mot_Speed")->setText("0.29");
        get<QLineEdit>(f, "Launch_DRY_RPM_HARD")->setText("4500.7");
        get<QLineEdit>(f, "Co_Diff_Speed_any")->setText("700");
        get<QLineEdit>(f, "RL_Soft_cut")->setText("-1");  // only a paste gets it there
        SettingsImage image;
        QVERIFY(f.CopyPagesToImage(image));
        QCOMPARE(image.word(18), quint16(29));
        QCOMPARE(image.word(34), quint16(4500));
        QCOMPARE(image.word(106), quint16(4464));
        QCOMPARE(image.word(28), quint16(0xFFFF));
        f.FillPagesFromImage(image);
        QCOMPARE(get<QLineEdit>(f, "Co_Diff_Speed_any")->text(), QString("44.64"));

        dialogs.expectError();
        get<QLineEdit>(f, "Co_Revs_Scale")->clear();
        QVERIFY(!f.CopyPagesToImage(image));
        QCOMPARE(dialogs.lastText(), QString("'' is not a valid integer value"));
        dialogs.expectError();
        get<QLineEdit>(f, "Co_Revs_Scale")->setText("35");
        get<QLineEdit>(f, "LC_Wet_Start_delay")->setText("2,5");
        QVERIFY(!f.CopyPagesToImage(image));
        QCOMPARE(dialogs.lastText(), QString("'2,5' is not a valid floating point value"));
        QCOMPARE(dialogs.pending(), 0);
    }

    void calculatorRemembersPerWheelAndTypedValues()
    {
        TAFrame f;
        f.show();
        auto *driven = get<QLineEdit>(f, "Wh_Driven_Dia");
        auto *reference = get<QLineEdit>(f, "Wh_Reference_Dia");
        QStringList seen;
        const auto confirm = [&](const char *width, const char *height, const char *rim) {
            return [&seen, width, height, rim](TWDC *d) {
                seen = {d->Wheel_Width->currentText(), d->Wheel_Height->currentText(), d->Wheel_Radius->currentText()};
                const std::pair<QComboBox *, const char *> typed[] = {{d->Wheel_Width, width},
                                                                      {d->Wheel_Height, height},
                                                                      {d->Wheel_Radius, rim}};
                for (auto [list, text] : typed) {
                    if (text) {
                        list->lineEdit()->selectAll();
                        QTest::keyClicks(list->lineEdit(), QString::fromLatin1(text));
                    }
                }
                QTest::mouseClick(d->WDC_Ok_Btn, Qt::LeftButton);
            };
        };

        runCalculator(f, true, confirm(nullptr, nullptr, nullptr));
        QCOMPARE(seen, QStringList({"145", "30", "12"}));
        QCOMPARE(driven->text(), QString("392"));
        QCOMPARE(get<QLabel>(f, "Drivern_label")->text(), QString("145 / 30 R12"));
        QCOMPARE(f.focusWidget(), driven);

        runCalculator(f, true, confirm("205", "55", "16.5"));
        QCOMPARE(driven->text(), QString("645"));  // 644.6
        QCOMPARE(get<QLabel>(f, "Drivern_label")->text(), QString("205 / 55 R16.5"));
        // 210 is no item: remembered as none, so the list shows nothing next time.
        runCalculator(f, true, confirm("210", nullptr, "16"));
        QCOMPARE(driven->text(), QString("637"));  // 637.4
        QCOMPARE(f.DrivenTyre.width, quint8(255));
        QCOMPARE(get<QLabel>(f, "Drivern_label")->text(), QString("210 / 55 R16"));
        runCalculator(f, true, [&](TWDC *d) {
            seen = {d->Wheel_Width->currentText(), d->Wheel_Height->currentText(), d->Wheel_Radius->currentText()};
            d->WDC_Cancel_Btn->click();
        });
        QCOMPARE(seen, QStringList({"", "55", "16"}));

        // The reference wheel has positions of its own.
        reference->setText("1");
        f.setFocus();
        runCalculator(f, false, [&](TWDC *d) {
            seen = {d->Wheel_Width->currentText(), d->Wheel_Height->currentText(), d->Wheel_Radius->currentText()};
            d->WDC_Cancel_Btn->click();
        });
        QCOMPARE(seen, QStringList({"145", "30", "12"}));
        QCOMPARE(reference->text(), QString("1"));
        QCOMPARE(get<QLabel>(f, "Reference_label")->text(), QString());
        QCOMPARE(f.focusWidget(), reference);
    }

    void calculatorConversionErrorsKeepEverything()
    {
        TAFrame f;
        f.show();
        auto *driven = get<QLineEdit>(f, "Wh_Driven_Dia");
        runCalculator(f, true, [](TWDC *d) {
            d->Wheel_Width->setCurrentIndex(6);   // 205
            d->Wheel_Height->setCurrentIndex(5);  // 55
            d->Wheel_Radius->setCurrentIndex(4);  // 16
            d->WDC_Ok_Btn->click();
        });
        QCOMPARE(driven->text(), QString("632"));
        const TyreChoice before = f.DrivenTyre;
        auto *elsewhere = get<QLineEdit>(f, "Co_Mot_Speed");
        const struct {
            const char *list;
            const char *text;
            const char *message;
        } cases[] = {{"Wheel_Width", "2o5", "'2o5' is not a valid integer value"},
                     {"Wheel_Height", "", "'' is not a valid integer value"},
                     {"Wheel_Height", "55.5", "'55.5' is not a valid integer value"},
                     {"Wheel_Radius", "x16", "'x16' is not a valid floating point value"}};
        for (const auto &c : cases) {
            ScriptedDialogs dialogs;
            dialogs.expectError();
            elsewhere->setFocus();
            runCalculator(f, true, [&](TWDC *d) {
                auto *list = d->findChild<QComboBox *>(c.list);
                list->setEditText(QString::fromLatin1(c.text));
                d->WDC_Ok_Btn->click();
            });
            QCOMPARE(dialogs.lastText(), QString(c.message));
            QCOMPARE(driven->text(), QString("632"));
            QCOMPARE(get<QLabel>(f, "Drivern_label")->text(), QString("205 / 55 R16"));
            QCOMPARE(f.DrivenTyre.width, before.width);
            QCOMPARE(f.DrivenTyre.height, before.height);
            QCOMPARE(f.DrivenTyre.radius, before.radius);
            QCOMPARE(f.focusWidget(), elsewhere);
        }

        // Where the separator is a comma the fraction items fail and a typed comma works.
        QLocale::setDefault(QLocale(QLocale::German));
        {
            ScriptedDialogs dialogs;
            dialogs.expectError();
            runCalculator(f, true, [](TWDC *d) {
                d->Wheel_Radius->setCurrentIndex(5);  // 16.5
                d->WDC_Ok_Btn->click();
            });
            QCOMPARE(dialogs.lastText(), QString("'16.5' is not a valid floating point value"));
        }
        runCalculator(f, true, [](TWDC *d) {
            d->Wheel_Radius->setEditText("16,5");
            d->WDC_Ok_Btn->click();
        });
        QCOMPARE(driven->text(), QString("645"));
        QCOMPARE(get<QLabel>(f, "Drivern_label")->text(), QString("205 / 55 R16,5"));
        QCOMPARE(f.DrivenTyre.radius, quint8(255));
    }

    void calculatorSitsAtTheMainWindowCorner()
    {
        QWidget main;
        auto *f = new TAFrame(&main);
        main.move(140, 90);
        main.resize(800, 500);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPoint at;
        QTimer::singleShot(0, [&] {
            at = f->WDC()->frameGeometry().topLeft();
            f->WDC()->WDC_Cancel_Btn->click();
        });
        f->Driven_Dia_CalcClick();
        QCOMPARE(at, main.frameGeometry().topLeft() + QPoint(221, 190));
    }
};

QTEST_MAIN(TestSettingsPages)
#include "tst_settings_pages.moc"
