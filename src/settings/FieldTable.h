#pragma once

#include <QString>
#include <QStringView>

#include <span>

// How a field of the settings image is shown on the pages and read back.
enum class FieldForm {
    Hundredths,   // word / 100, two decimals
    Tenths,       // word / 10, one decimal
    Whole,        // the word; a fraction typed is dropped
    Integer,      // the word; text must be a whole number
    Percent,      // slider 0..100, word = caption x 655
    Flag,         // check box, 0xFF / 0x00 in the slot's first byte
    ChannelFlag,  // front/left flags of CH1..CH4, shown by the four Sensor_ lists together
    Cells,        // 20 bytes of "1"/"0", one cut row
    RateCode,     // data-logger sample rate code, shown by the Sample_Rate list
    Carried,      // not shown; kept as it is
};

// A number typed into a text box (the forms an edit control shows).
inline bool isEditForm(FieldForm form)
{
    return form == FieldForm::Hundredths || form == FieldForm::Tenths || form == FieldForm::Whole ||
           form == FieldForm::Integer;
}

enum class Sheet { Configuration, LaunchControl, SlipControl, Wheels, CS_Rev_Limit, DataLogging, Test, None };
// A page's tab caption exactly as shown; "" for None.
const char *sheetCaption(Sheet sheet);

// One row per field of the 256-byte image. Pages, printout, mail and tractionctl all walk this table.
struct Field {
    int offset;
    int size;
    FieldForm form;
    const char *control;  // objectName: edit box, slider, check box, list; cut rows: the name before "_k"
    const char *caption;  // percent fields: the caption control beside the slider; else nullptr
    Sheet sheet;
    const char *group;    // group box caption, exactly as shown
    const char *label;    // label exactly as shown (name, spaces for the box, unit)
    const char *name;     // the label's name part ("Minimum turning speed")
    const char *unit;     // "Kmh", "Sec", "RPM", "mm", "%", "% Slip" or ""
    int maxLength;        // edit limit; 0 where there is none
    const char *hint;     // "\n\r" line breaks kept as the unit's texts have them
    const char *setting;  // what the field means, in words
};

// Rows in offset order; together they cover every byte once. Carried rows have an empty control.
// Channel flag rows carry the channel ("CH1".."CH4") as control: one row per flag byte.
std::span<const Field> fieldTable();
// Finds a row by its control, by a percent row's caption, or by a cut-row box name ("SC_Seq1_7").
const Field *fieldByControl(QStringView control);

constexpr int CellsPerRow = 20;
// The box of cell k (1..20) of a cut row: "SC_Seq1_7".
QString cellControl(const Field &row, int k);

enum class Wheel { FrontLeft, FrontRight, RearLeft, RearRight };

// The four channel lists of the Wheels sheet, in the order the image is written from them.
struct SensorList {
    Wheel wheel;
    const char *control;  // "Sensor_FL" ..
    const char *hint;
    const char *label;  // what the list stands for on the car picture, which has no label of its own
};
std::span<const SensorList> sensorLists();

// The set-all buttons beside each cut row (rows in table order).
struct CutRowButtons {
    const char *row;  // the cut row's control prefix
    const char *sparkButton;
    const char *noSparkButton;
    const char *sparkHint;  // "" where the button has none
    const char *noSparkHint;
};
std::span<const CutRowButtons> cutRowButtons();
