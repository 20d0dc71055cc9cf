#include "settings/FieldTable.h"

#include <array>

namespace {

// clang-format off
constexpr Field Fields[] = {
{0, 2, FieldForm::Percent, "Sc_Seq1_Assert_Graphical", "Sc_Seq1_Assert_Value", Sheet::SlipControl, " Sequence 1 ", "Assert at                         % Slip", "Assert at", "% Slip", 0, "When you have this amount of slip apply\n\rthis cut table.", "Sequence 1: assert at this % slip"},
    {2, 2, FieldForm::Percent, "Sc_Seq2_Assert_Graphical", "Sc_Seq2_Assert_Value", Sheet::SlipControl, " Sequence 2 ", "Assert at                         % Slip", "Assert at", "% Slip", 0, "When you have this amount of slip apply\n\rthis cut table.", "Sequence 2: assert at this % slip"},
    {4, 2, FieldForm::Percent, "Sc_Seq3_Assert_Graphical", "Sc_Seq3_Assert_Value", Sheet::SlipControl, " Sequence 3 ", "Assert at                         % Slip", "Assert at", "% Slip", 0, "When you have this amount of slip apply\n\rthis cut table.", "Sequence 3: assert at this % slip"},
    {6, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {8, 2, FieldForm::Percent, "LC_Delay_Spd_Override_Gph", "LC_Delay_Spd_Override_Val", Sheet::LaunchControl, " Common settings", "Delay slip override                                          %", "Delay slip override", "%", 0, "This value is added to the slip values for the Start delay.", "Launch control: delay slip override"},
    {10, 2, FieldForm::Whole, "Co_Mot_revs", nullptr, Sheet::Configuration, " Minimum operating thresholds ", "Revolutions                   RPM", "Revolutions", "RPM", 5, "Minimum engine revolutions before the\n\rtraction control starts to operate.", "Minimum operating revolutions, RPM"},
    {12, 2, FieldForm::Tenths, "LC_Dry_Start_delay", nullptr, Sheet::LaunchControl, " Dry settings ", "             Start delay                     Sec", "Start delay", "Sec", 5, "Time before launch controls works", "Launch dry start delay, s"},
    {14, 2, FieldForm::Percent, "Co_Stright_line_Override_Gph", "Co_Stright_line_Override_Val", Sheet::Configuration, " Turning ", "Straight line override                               %", "Straight line override", "%", 0, "This value is added to each of the percentage slips\n\rwhen the system knows the car is travelling in a\n\rstraight line.", "Straight line override"},
    {16, 2, FieldForm::Hundredths, "LC_dry_slow_override", nullptr, Sheet::LaunchControl, " Dry settings ", "Slow override speed threshold                      Kmh", "Slow override speed threshold", "Kmh", 7, "Below this speed % override value is added to each of the slip values", "Launch dry slow override speed threshold, km/h"},
    {18, 2, FieldForm::Hundredths, "Co_Mot_Speed", nullptr, Sheet::Configuration, " Minimum operating thresholds ", "Speed                   Kmh", "Speed", "Kmh", 7, "Minimum speed before traction control\n\rstarts to operate.", "Minimum operating speed, km/h"},
    {20, 2, FieldForm::Hundredths, "Min_Difference_DRY_Threshold", nullptr, Sheet::Configuration, " Minimum operating thresholds ", "Min Diff Dry                     Kmh", "Min Diff Dry", "Kmh", 7, "Minimum speed difference between wheels that the\n\rtraction control start to operate in the dry.", "Minimum wheel speed difference, dry, km/h"},
    {22, 2, FieldForm::Tenths, "SC_Int_start_after", nullptr, Sheet::SlipControl, "Integral settings ", "Start after                       Sec", "Start after", "Sec", 7, "If the traction is cutting for this amount\n\rof time, apply this cut.", "Integral cut: start after, s"},
    {24, 2, FieldForm::Hundredths, "Co_Min_Turn_speed", nullptr, Sheet::Configuration, " Turning ", "Minimum turning speed                        Kmh", "Minimum turning speed", "Kmh", 7, "Minimum wheel speed at which the car is turning", "Minimum turning speed, km/h"},
    {26, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {28, 2, FieldForm::Whole, "RL_Soft_cut", nullptr, Sheet::CS_Rev_Limit, " Moving rev limiter ", "Soft cut                      RPM", "Soft cut", "RPM", 5, "Low rev limit", "Moving rev limiter soft cut, RPM"},
    {30, 2, FieldForm::Whole, "RL_Hard_Cut", nullptr, Sheet::CS_Rev_Limit, " Moving rev limiter ", "Hard cut                     RPM", "Hard cut", "RPM", 5, "High rev limit", "Moving rev limiter hard cut, RPM"},
    {32, 2, FieldForm::Whole, "Launch_DRY_RPM_SOFT", nullptr, Sheet::LaunchControl, " Dry settings ", "Soft cut                        RPM", "Soft cut", "RPM", 5, "Low rev limit for launch", "Launch dry soft cut, RPM"},
    {34, 2, FieldForm::Whole, "Launch_DRY_RPM_HARD", nullptr, Sheet::LaunchControl, " Dry settings ", "Hard cut                       RPM", "Hard cut", "RPM", 5, "Top rev limit for launch", "Launch dry hard cut, RPM"},
    {36, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {38, 1, FieldForm::Flag, "CB_Logger_Enabled", nullptr, Sheet::DataLogging, "Data logging", "Enable data logging", "Enable data logging", "", 0, "Activates data logging function for units\n\rwith battery powered memory.\n\rNote: Must be turned off for diagnostic functions to work.", "Data logging enabled"},
    {39, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second byte of the data-logging slot"},
    {40, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {42, 2, FieldForm::Integer, "Wh_Driven_Pulse", nullptr, Sheet::Wheels, " Driven ", "Pulses per revolution", "Pulses per revolution", "", 5, "Number of pulses the driven wheel sensor\n\remits for one revolution of the wheel", "Driven wheel sensor pulses per revolution"},
    {44, 1, FieldForm::Flag, "SS_non_sequential", nullptr, Sheet::Configuration, "Misfire mode ", "Non sequential mode", "Non sequential mode", "", 0, "Determines how data in cut tables are used.\n\rNOTE : Only activate sequential mode if the value in the\n\r              cylinders box equals the number of cylinders the\n\r              vehicle has.", "Non sequential mode (misfire mode)"},
    {45, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second byte of the non-sequential slot"},
    {46, 2, FieldForm::Whole, "SS_Num_Cylinders", nullptr, Sheet::Configuration, " Cylinders ", "Number of cylinders", "Number of cylinders", "", 2, "Number of cylinders in the vehicles engine.", "Number of cylinders"},
    {48, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {50, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
    {52, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {54, 2, FieldForm::Integer, "Wh_Driven_Dia", nullptr, Sheet::Wheels, " Driven ", "Wheel diameter                        mm", "Wheel diameter", "mm", 5, "Diameter of a drivern wheel", "Driven wheel diameter, mm"},
    {56, 4, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
    {60, 2, FieldForm::Integer, "Wh_Reference_Dia", nullptr, Sheet::Wheels, " Reference  ", "Wheel diameter                        mm", "Wheel diameter", "mm", 5, "Diameter of a reference wheel", "Reference wheel diameter, mm"},
    {62, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
    {64, 2, FieldForm::Integer, "Wh_Reference_Pulse", nullptr, Sheet::Wheels, " Reference  ", "Pulses per revolution", "Pulses per revolution", "", 5, "Number of pulses the reference wheel sensor\n\remits for one revolution of the wheel", "Reference wheel sensor pulses per revolution"},
    {66, 1, FieldForm::ChannelFlag, "CH1", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Front flag of sensor channel CH1 (0xFF front, 0x00 rear)"},
    {67, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the front-flag slots"},
    {68, 1, FieldForm::ChannelFlag, "CH2", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Front flag of sensor channel CH2 (0xFF front, 0x00 rear)"},
    {69, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the front-flag slots"},
    {70, 1, FieldForm::ChannelFlag, "CH3", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Front flag of sensor channel CH3 (0xFF front, 0x00 rear)"},
    {71, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the front-flag slots"},
    {72, 1, FieldForm::ChannelFlag, "CH4", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Front flag of sensor channel CH4 (0xFF front, 0x00 rear)"},
    {73, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the front-flag slots"},
    {74, 2, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "not shown; written only by the \".tra\" conversion"},
    {76, 1, FieldForm::Flag, "CO_Inv_Clutch_Sw", nullptr, Sheet::CS_Rev_Limit, " Clutch switch ", "Invert switch", "Invert switch", "", 0, "", "Clutch switch inverted"},
    {77, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second byte of the clutch slot"},
    {78, 2, FieldForm::RateCode, "Sample_Rate", nullptr, Sheet::DataLogging, "Data logging", "Sample rate", "Sample rate", "", 0, "Resolution of logged data", "Data-logger sample rate code"},
    {80, 2, FieldForm::Integer, "Co_Revs_Scale", nullptr, Sheet::DataLogging, "Data logging", "Revs divisor", "Revs divisor", "", 5, "", "Revs divisor"},
    {82, 2, FieldForm::Whole, "ss_Smoothing_value", nullptr, Sheet::Configuration, " Smoothing ", "Smoothing level", "Smoothing level", "", 1, "To remove glitches in the wheel speed sensors the data\n\rcan be smoothed (Averaged) with a level from 0 to 5.", "Smoothing level"},
    {84, 2, FieldForm::Tenths, "Co_Time_Before_Turning", nullptr, Sheet::Configuration, " Turning ", "Time before turning is true                    Sec", "Time before turning is true", "Sec", 7, "The period of time the wheel speeds must exceed the\n\rminimum turning speed before the system assumes the\n\rvehicle is cornering.", "Time before turning is true, s"},
    {86, 2, FieldForm::Hundredths, "MaxOpSpd_Edit", nullptr, Sheet::Configuration, "Maximum difference in wheel speeds ", "Maximum Operating Speed                   Kmh", "Maximum Operating Speed", "Kmh", 6, "Maximum operating speed traction will work at", "Maximum operating speed, km/h"},
    {88, 8, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
    {96, 2, FieldForm::Hundredths, "Min_Difference_WET_Threshold", nullptr, Sheet::Configuration, " Minimum operating thresholds ", "Min Diff Wet                    Kmh", "Min Diff Wet", "Kmh", 7, "Minimum speed difference between wheels that the\n\rtraction control start to operate in the wet.", "Minimum wheel speed difference, wet, km/h"},
    {98, 2, FieldForm::Whole, "Launch_WET_RPM_SOFT", nullptr, Sheet::LaunchControl, " Wet settings", "Soft cut                        RPM", "Soft cut", "RPM", 5, "Low rev limit for launch", "Launch wet soft cut, RPM"},
    {100, 2, FieldForm::Whole, "Launch_WET_RPM_HARD", nullptr, Sheet::LaunchControl, " Wet settings", "Hard cut                       RPM", "Hard cut", "RPM", 5, "Top rev limit for launch", "Launch wet hard cut, RPM"},
    {102, 2, FieldForm::Tenths, "LC_Wet_Start_delay", nullptr, Sheet::LaunchControl, " Wet settings", "             Start delay                     Sec", "Start delay", "Sec", 5, "Time before launch controls works", "Launch wet start delay, s"},
    {104, 2, FieldForm::Hundredths, "LC_wet_slow_override", nullptr, Sheet::LaunchControl, " Wet settings", "Slow override speed threshold                      Kmh", "Slow override speed threshold", "Kmh", 7, "Below this speed % override value is added to each of the slip values", "Launch wet slow override speed threshold, km/h"},
    {106, 2, FieldForm::Hundredths, "Co_Diff_Speed_any", nullptr, Sheet::Configuration, "Maximum difference in wheel speeds ", "Any surface                    Kmh", "Any surface", "Kmh", 7, "Difference in speed between the\n\rslowest and fastest wheel.", "Maximum difference in wheel speeds, any surface, km/h"},
    {108, 4, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
    {112, 1, FieldForm::ChannelFlag, "CH1", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Left flag of sensor channel CH1 (0xFF left, 0x00 right)"},
    {113, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the left-flag slots"},
    {114, 1, FieldForm::ChannelFlag, "CH2", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Left flag of sensor channel CH2 (0xFF left, 0x00 right)"},
    {115, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the left-flag slots"},
    {116, 1, FieldForm::ChannelFlag, "CH3", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Left flag of sensor channel CH3 (0xFF left, 0x00 right)"},
    {117, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the left-flag slots"},
    {118, 1, FieldForm::ChannelFlag, "CH4", nullptr, Sheet::Wheels, "", "", "", "", 0, "", "Left flag of sensor channel CH4 (0xFF left, 0x00 right)"},
    {119, 1, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "second bytes of the left-flag slots"},
    {120, 2, FieldForm::Percent, "LC_Slip_to_reinstate_Gph", "LC_Slip_to_reinstate_Val", Sheet::LaunchControl, " Common settings", "Slip to reinstate traction control                      %", "Slip to reinstate traction control", "%", 0, "The value at which the unit will switch from launch mode back to traction mode.", "Launch: slip to reinstate traction control"},
    {122, 2, FieldForm::Percent, "LC_Slip_ovr_slowspeed_getaway_Gph", "LC_Slip_ovr_slowspeed_getaway_val", Sheet::LaunchControl, " Common settings", "Slip override for slow speed getaway              %", "Slip override for slow speed getaway", "%", 0, "This value is added to the overall slip % during launch mode.", "Launch: slip override for slow speed getaway"},
    {124, 4, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
    {128, 20, FieldForm::Cells, "SC_Seq1", nullptr, Sheet::SlipControl, " Sequence 1 ", "", "", "", 0, "", "Sequence 1 cut pattern, positions 1 to 20"},
    {148, 20, FieldForm::Cells, "SC_Seq2", nullptr, Sheet::SlipControl, " Sequence 2 ", "", "", "", 0, "", "Sequence 2 cut pattern"},
    {168, 20, FieldForm::Cells, "SC_Seq3", nullptr, Sheet::SlipControl, " Sequence 3 ", "", "", "", 0, "", "Sequence 3 cut pattern"},
    {188, 20, FieldForm::Cells, "SC_Integral", nullptr, Sheet::SlipControl, "Integral settings ", "", "", "", 0, "", "Integral cut pattern"},
    {208, 20, FieldForm::Cells, "Cs_Soft_rev", nullptr, Sheet::CS_Rev_Limit, "Soft rev-limit settings", "", "", "", 0, "", "Soft rev-limit cut pattern"},
    {228, 20, FieldForm::Cells, "Cs_Hard_rev", nullptr, Sheet::CS_Rev_Limit, "Hard rev-limit settings", "", "", "", 0, "", "Hard rev-limit cut pattern"},
    {248, 8, FieldForm::Carried, "", nullptr, Sheet::None, "", "", "", "", 0, "", "nothing in the program reads or writes it"},
};

constexpr SensorList SensorLists[] = {
    {Wheel::FrontLeft, "Sensor_FL", "Set this to the sensor number of the front left wheel.", "Front left wheel"},
    {Wheel::FrontRight, "Sensor_FR", "Set this to the sensor number of the front right wheel.", "Front right wheel"},
    {Wheel::RearLeft, "Sensor_RL", "Set this to the sensor number of the rear left wheel.", "Rear left wheel"},
    {Wheel::RearRight, "Sensor_RR", "Set this to the sensor number of the rear right wheel.", "Rear right wheel"},
};

constexpr CutRowButtons CutButtons[] = {
    {"SC_Seq1", "BitBtn1", "BitBtn2", "Set all of the ' Sequence 1 spark cut settings ' to Spark.", "Set all of the ' Sequence 1 spark cut settings ' to No spark."},
    {"SC_Seq2", "BitBtn3", "BitBtn4", "Set all of the ' Sequence 2 spark cut settings ' to Spark.", "Set all of the ' Sequence 2 spark cut settings ' to No spark."},
    {"SC_Seq3", "BitBtn5", "BitBtn6", "Set all of the ' Sequence 3 spark cut settings ' to Spark.", "Set all of the ' Sequence 3 spark cut settings ' to No spark."},
    {"SC_Integral", "BitBtn13", "BitBtn14", "", ""},
    {"Cs_Soft_rev", "BitBtn7", "BitBtn8", "Set all of the ' Soft rev-limit settings ' to Spark.", "Set all of the ' Soft rev-limit settings ' to No spark."},
    {"Cs_Hard_rev", "BitBtn9", "BitBtn10", "Set all of the ' Hard rev-limit settings ' to Spark.", "Set all of the ' Hard rev-limit settings ' to No spark."},
};
// clang-format on

bool sameName(QStringView name, const char *control) { return *control && name == QLatin1String(control); }

constexpr const char *SheetCaptions[] = {"Configuration", "Launch control", "Slip control", "Wheels",
                                         "Rev limits",    "Data logging ",  "Test",         ""};

}  // namespace

const char *sheetCaption(Sheet sheet) { return SheetCaptions[int(sheet)]; }

std::span<const Field> fieldTable() { return Fields; }

std::span<const SensorList> sensorLists() { return SensorLists; }

std::span<const CutRowButtons> cutRowButtons() { return CutButtons; }

QString cellControl(const Field &row, int k)
{
    return QLatin1String(row.control) + QLatin1Char('_') + QString::number(k);
}

const Field *fieldByControl(QStringView control)
{
    for (const Field &f : Fields) {
        if (sameName(control, f.control) || (f.caption && sameName(control, f.caption)))
            return &f;
    }
    const qsizetype cut = control.lastIndexOf(QLatin1Char('_'));
    if (cut > 0) {
        bool ok = false;
        const int k = control.mid(cut + 1).toInt(&ok);
        if (ok && k >= 1 && k <= CellsPerRow && control.mid(cut + 1) == QString::number(k)) {
            for (const Field &f : Fields) {
                if (f.form == FieldForm::Cells && sameName(control.left(cut), f.control))
                    return &f;
            }
        }
    }
    return nullptr;
}
