#include "settings/FieldConversions.h"
#include "settings/FieldTable.h"
#include "settings/SettingsImage.h"

#include <QTest>

class TestFieldTable : public QObject {
    Q_OBJECT
private slots:
    void rowsCoverEveryByteOnceInOffsetOrder()
    {
        int covered[SettingsImage::Size] = {};
        int previous = -1;
        for (const Field &f : fieldTable()) {
            QVERIFY2(f.offset > previous, f.setting);
            previous = f.offset;
            for (int i = f.offset; i < f.offset + f.size; ++i)
                ++covered[i];
        }
        for (int i = 0; i < SettingsImage::Size; ++i)
            QVERIFY2(covered[i] == 1, qPrintable(QString::number(i)));
    }

    void everyPageControlHasItsRow()
    {
        int edits = 0, sliders = 0, flags = 0, rows = 0, channelFlags = 0;
        for (const Field &f : fieldTable()) {
            switch (f.form) {
            case FieldForm::Hundredths:
            case FieldForm::Tenths:
            case FieldForm::Whole:
            case FieldForm::Integer:
                ++edits;
                QVERIFY2(f.maxLength > 0, f.control);
                QCOMPARE(f.size, 2);
                break;
            case FieldForm::Percent:
                ++sliders;
                QVERIFY(f.caption);
                break;
            case FieldForm::Flag:
                ++flags;
                QCOMPARE(f.size, 1);
                break;
            case FieldForm::Cells:
                ++rows;
                QCOMPARE(f.size, CellsPerRow);
                break;
            case FieldForm::ChannelFlag: ++channelFlags; break;
            case FieldForm::Carried:
                QCOMPARE(QLatin1String(f.control), QLatin1String(""));
                QCOMPARE(f.sheet, Sheet::None);
                break;
            case FieldForm::RateCode: QCOMPARE(f.offset, 78); break;
            }
        }
        // The key filter serves 26 edit boxes; the pages hold 7 sliders, 3 check boxes, 6 cut rows.
        QCOMPARE(edits, 26);
        QCOMPARE(sliders, 7);
        QCOMPARE(flags, 3);
        QCOMPARE(rows, 6);
        QCOMPARE(channelFlags, 8);
    }

    void rowsCarryThePagesTexts()
    {
        const Field *f = fieldByControl(u"Co_Min_Turn_speed");
        QVERIFY(f);
        QCOMPARE(f->offset, 24);
        QCOMPARE(f->form, FieldForm::Hundredths);
        QCOMPARE(f->sheet, Sheet::Configuration);
        QCOMPARE(QLatin1String(f->group), QLatin1String(" Turning "));
        QCOMPARE(QLatin1String(f->label), QLatin1String("Minimum turning speed                        Kmh"));
        QCOMPARE(QLatin1String(f->name), QLatin1String("Minimum turning speed"));
        QCOMPARE(QLatin1String(f->unit), QLatin1String("Kmh"));
        QCOMPARE(f->maxLength, 7);

        f = fieldByControl(u"SS_non_sequential");
        QVERIFY(f);
        QCOMPARE(QLatin1String(f->hint),
                 QLatin1String("Determines how data in cut tables are used.\n\rNOTE : Only activate sequential "
                               "mode if the value in the\n\r              cylinders box equals the number of "
                               "cylinders the\n\r              vehicle has."));

        f = fieldByControl(u"LC_Slip_ovr_slowspeed_getaway_val");  // found by its caption
        QVERIFY(f);
        QCOMPARE(f->offset, 122);
        QCOMPARE(QLatin1String(f->control), QLatin1String("LC_Slip_ovr_slowspeed_getaway_Gph"));

        QCOMPARE(fieldByControl(u"MaxOpSpd_Edit")->maxLength, 6);
        QCOMPARE(fieldByControl(u"ss_Smoothing_value")->maxLength, 1);
        QCOMPARE(fieldByControl(u"Sample_Rate")->form, FieldForm::RateCode);
        QCOMPARE(QLatin1String(fieldByControl(u"CO_Inv_Clutch_Sw")->hint), QLatin1String(""));
    }

    void cutRowBoxesLeadToTheirRow()
    {
        const Field *f = fieldByControl(u"SC_Seq3_20");
        QVERIFY(f);
        QCOMPARE(f->offset, 168);
        QCOMPARE(cellControl(*f, 20), QStringLiteral("SC_Seq3_20"));
        QCOMPARE(fieldByControl(u"Cs_Hard_rev_1")->offset, 228);
        QCOMPARE(fieldByControl(u"SC_Integral_20")->offset, 188);
        QVERIFY(!fieldByControl(u"SC_Seq3_21"));
        QVERIFY(!fieldByControl(u"SC_Seq3_0"));
        QVERIFY(!fieldByControl(u"SC_Seq3_07"));
        QVERIFY(!fieldByControl(u""));
        QVERIFY(!fieldByControl(u"Nonexistent"));

        QCOMPARE(cutRowButtons().size(), std::size_t(6));
        for (const CutRowButtons &b : cutRowButtons()) {
            const Field *row = fieldByControl(QString::fromLatin1(b.row));
            QVERIFY(row);
            QCOMPARE(row->form, FieldForm::Cells);
        }
        QCOMPARE(sensorLists().size(), std::size_t(4));
        QCOMPARE(QLatin1String(sensorLists()[2].control), QLatin1String("Sensor_RL"));
    }
};

QTEST_GUILESS_MAIN(TestFieldTable)
#include "tst_field_table.moc"
