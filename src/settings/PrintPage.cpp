#include "settings/PrintPage.h"

#include "settings/FieldConversions.h"

#include <QLocale>

namespace {

// One printed row: up to four cells, left to right. Every value comes from the page control the
// field table knows by that name; check boxes print their caption and the control's state.
struct PrintRow {
    const char *section;  // heading printed above this row; nullptr within a section
    const char *group;    // group label, on the first row of a group only
    const char *item;     // item label, or a check box's caption
    const char *name;     // the value cell
    const char *control;  // edit box, slider, check box, cut row or channel list
    const char *unit;
};

// clang-format off
constexpr PrintRow LeftRows[] = {
    {"Configuration", "Maximum difference in wheel speeds ", "Any surface", "MaxDiffAnySpeed", "Co_Diff_Speed_any", "Kmh"},
    {nullptr, "", "Maximum Operating Speed", "MaxOperatingSpeed", "MaxOpSpd_Edit", "Kmh"},
    {nullptr, "Turning ", "Minimum turning speed", "MinTurningSpeed", "Co_Min_Turn_speed", "Kmh"},
    {nullptr, "", "Time before turning is true", "TimeBeforeTurning", "Co_Time_Before_Turning", "Sec"},
    {nullptr, "", "Straight line override", "StraightLineOverride", "Co_Stright_line_Override_Gph", "%"},
    {nullptr, "Smoothing", "Smoothing level", "Smoothinglevel", "ss_Smoothing_value", ""},
    {nullptr, "Misfire mode", "Non sequential mode", "Nonsequentialmode", "SS_non_sequential", ""},
    {nullptr, "Cylinders", "Number of cylinders", "Numberofcylinders", "SS_Num_Cylinders", ""},
    {nullptr, "Minimum operating thresholds", "Speed", "MinOpSpeed", "Co_Mot_Speed", "Kmh"},
    {nullptr, "", "Revolutions", "MinOpRev", "Co_Mot_revs", "Rpm"},
    {nullptr, "", "Min Diff Dry", "MinOpDiffDry", "Min_Difference_DRY_Threshold", "Kmh"},
    {nullptr, "", "Min Diff Wet", "MinOpDiffWet", "Min_Difference_WET_Threshold", "Kmh"},
    {"Wheel Configuration", "Reference", "Diameter", "ReferenceDiameter", "Wh_Reference_Dia", "mm"},
    {nullptr, "", "Pulses Per Rev", "ReferencePulses", "Wh_Reference_Pulse", ""},
    {nullptr, "Driven", "Diameter", "DrivenDiameter", "Wh_Driven_Dia", "mm"},
    {nullptr, "", "Pulses Per Rev", "DrivenPulses", "Wh_Driven_Pulse", ""},
    {nullptr, "Assignment", "Front Left", "FrontLeft", "Sensor_FL", ""},
    {nullptr, "", "Front Right", "FrontRight", "Sensor_FR", ""},
    {nullptr, "", "Rear Left", "RearLeft", "Sensor_RL", ""},
    {nullptr, "", "Rear Right", "RearRight", "Sensor_RR", ""},
};

constexpr PrintRow RightRows[] = {
    {"Launch Control", "Common settings", "Slip override for slow speed getaway", "SlipOverrideSpeed", "LC_Slip_ovr_slowspeed_getaway_Gph", "%"},
    {nullptr, "", "Delay slip override", "SlipOverrideDelay", "LC_Delay_Spd_Override_Gph", "%"},
    {nullptr, "", "Slip to reinstate traction control ", "SlipToReinstate", "LC_Slip_to_reinstate_Gph", "%"},
    {nullptr, "Dry settings", "Hard Cut", "DrySettingsHardCut", "Launch_DRY_RPM_HARD", "Rpm"},
    {nullptr, "", "Soft Cut", "DrySettingsSoftCut", "Launch_DRY_RPM_SOFT", "Rpm"},
    {nullptr, "", "Start Delay", "DrySettingsStartDelay", "LC_Dry_Start_delay", "Sec"},
    {nullptr, "", "Slow override speed threshold", "DrySettingsOverrideSpeed", "LC_dry_slow_override", "Kmh"},
    {nullptr, "Wet settings", "Hard Cut", "WetSettingsHardCut", "Launch_WET_RPM_HARD", "Rpm"},
    {nullptr, "", "Soft Cut", "WetSettingsSoftCut", "Launch_WET_RPM_SOFT", "Rpm"},
    {nullptr, "", "Start Delay", "WetSettingsStartDelay", "LC_Wet_Start_delay", "Sec"},
    {nullptr, "", "Slow override speed threshold", "WetSettingsOverrideSpeed", "LC_wet_slow_override", "Kmh"},
    {"Rev Limits", "Cut Tables", "Soft Cut", "RevLimitSoft", "Cs_Soft_rev", ""},
    {nullptr, "", "Hard Cut", "RevLimitHard", "Cs_Hard_rev", ""},
    {nullptr, "Moving rev limiter", "Soft", "RevLimitSoftValue", "RL_Soft_cut", "Rpm"},
    {nullptr, "", "Hard", "RevLimitHardValue", "RL_Hard_Cut", "Rpm"},
    {nullptr, "Clutch Switch", "Inverted", "ClutchInverted", "CO_Inv_Clutch_Sw", ""},
    {"Slip Control", "Cut Tables", "Sequence 1", "Sequence1", "SC_Seq1", ""},
    {nullptr, "", "Sequence 2", "Sequence2", "SC_Seq2", ""},
    {nullptr, "", "Sequence 3", "Sequence3", "SC_Seq3", ""},
    {nullptr, "", "Integral ", "Integral", "SC_Integral", ""},
    {nullptr, "Assert at", "Sequence 1", "Sequence1Slip", "Sc_Seq1_Assert_Graphical", "%"},
    {nullptr, "", "Sequence 2", "Sequence2Slip", "Sc_Seq2_Assert_Graphical", "%"},
    {nullptr, "", "Sequence 3", "Sequence3Slip", "Sc_Seq3_Assert_Graphical", "%"},
    {nullptr, "", "Start Integral after", "IntegralTime", "SC_Int_start_after", "Sec"},
};
// clang-format on

// Left edges of the cells: group, item, value, unit; patterns start further left.
struct ColumnCells {
    int group, item, value, unit, pattern;
    int right;  // where the column's cells must end
};
constexpr ColumnCells LeftCells{16, 200, 336, 392, 336, PrintPage::ColumnLine - 4};
constexpr ColumnCells RightCells{440, 544, 728, 784, 640, PrintPage::Frame.right() - 4};

// Vertical rhythm inside the frame.
constexpr int FirstLine = PrintPage::Frame.top() + 8;
constexpr int HeadingHeight = 20;
constexpr int RowHeight = 17;
constexpr int SectionGap = 10;
constexpr int TitleTop = 132;
constexpr int TitleHeight = 24;
constexpr int FooterTop = 728;
constexpr int FooterHeight = 16;

constexpr const char *DefaultValue = "655.35";
constexpr const char *DefaultPattern = "00000000000000000000";

enum class Shows { Text, Caption, Check, Cells, Channel };

Shows shownBy(const char *control, QString *source)
{
    *source = QLatin1String(control);
    for (const SensorList &list : sensorLists()) {
        if (*source == QLatin1String(list.control))
            return Shows::Channel;
    }
    const Field *field = fieldByControl(*source);
    Q_ASSERT_X(field, "PrintPage", control);
    switch (field->form) {
    case FieldForm::Percent: *source = QLatin1String(field->caption); return Shows::Caption;
    case FieldForm::Flag: return Shows::Check;
    case FieldForm::Cells: return Shows::Cells;
    default: return Shows::Text;
    }
}

class Layout {
public:
    explicit Layout(QList<PrintItem> &items) : m_items(items) {}

    void add(PrintItem::Kind kind, const QString &text, const QRect &box, const QString &name = {},
             const QString &control = {}, Qt::Alignment align = Qt::AlignLeft)
    {
        m_items.append({++m_tag, kind, name, control, text, false, box, align});
    }

    void column(std::span<const PrintRow> rows, const ColumnCells &cells)
    {
        int y = FirstLine;
        for (const PrintRow &row : rows) {
            if (row.section) {
                if (y > FirstLine)
                    y += SectionGap;
                add(PrintItem::Kind::Heading, QLatin1String(row.section),
                    QRect(cells.group, y, cells.right - cells.group, HeadingHeight));
                y += HeadingHeight;
            }
            QString source;
            const Shows shows = shownBy(row.control, &source);
            auto cell = [&](int from, int to) { return QRect(from, y, to - from, RowHeight); };
            if (*row.group)
                add(PrintItem::Kind::Label, QLatin1String(row.group), cell(cells.group, cells.item));
            if (shows == Shows::Check) {
                add(PrintItem::Kind::CheckBox, QLatin1String(row.item), cell(cells.item, cells.right),
                    QLatin1String(row.name), source);
            } else {
                const bool pattern = shows == Shows::Cells;
                const int valueLeft = pattern ? cells.pattern : cells.value;
                add(PrintItem::Kind::Label, QLatin1String(row.item), cell(cells.item, valueLeft));
                add(pattern ? PrintItem::Kind::Pattern : PrintItem::Kind::Value,
                    QLatin1String(pattern ? DefaultPattern : DefaultValue),
                    cell(valueLeft, *row.unit ? cells.unit : cells.right), QLatin1String(row.name), source);
                if (*row.unit)
                    add(PrintItem::Kind::Unit, QLatin1String(row.unit), cell(cells.unit, cells.right));
            }
            y += RowHeight;
        }
    }

private:
    QList<PrintItem> &m_items;
    int m_tag = 0;
};

QString shownText(const PageValues &pages, const PrintItem &item)
{
    for (const SensorList &list : sensorLists()) {
        if (item.control == QLatin1String(list.control))
            return pages.channel(list.wheel);
    }
    if (item.kind == PrintItem::Kind::Pattern)
        return pages.cells(item.control);
    return pages.text(item.control);  // edit boxes, and slider captions by the caption's name
}

}  // namespace

PrintPage::PrintPage()
{
    Layout layout(m_items);
    const QRect title(Frame.left(), TitleTop, Frame.width(), TitleHeight);
    layout.add(PrintItem::Kind::Title, QStringLiteral("TractionVersion :"), title, {}, {}, Qt::AlignHCenter);
    layout.add(PrintItem::Kind::Title, QLatin1String(Unknown), title, QStringLiteral("TractionVersion"), {},
               Qt::AlignHCenter);
    layout.column(LeftRows, LeftCells);
    layout.column(RightRows, RightCells);
    const QRect footer(Frame.left(), FooterTop, Frame.width(), FooterHeight);
    layout.add(PrintItem::Kind::Footer, QString(), footer, QStringLiteral("Label86"));
    layout.add(PrintItem::Kind::Footer, QString(), footer, QStringLiteral("Label83"), {}, Qt::AlignRight);
}

void PrintPage::fill(const PageValues &pages, const QString &tractionVersion, const QString &programVersion,
                     const QDateTime &printed)
{
    for (PrintItem &item : m_items) {
        if (item.kind == PrintItem::Kind::Value || item.kind == PrintItem::Kind::Pattern)
            item.text = shownText(pages, item);
        else if (item.kind == PrintItem::Kind::CheckBox)
            item.checked = pages.checked(item.control);
        else if (item.name == u"TractionVersion")
            item.text = tractionVersion;
        else if (item.name == u"Label86")
            item.text = printedDateLine(printed);
        else if (item.name == u"Label83")
            item.text = programVersion;
    }
}

const PrintItem *PrintPage::item(int tag) const
{
    return tag >= 1 && tag <= m_items.size() ? &m_items[tag - 1] : nullptr;
}

const PrintItem *PrintPage::byName(const QString &name) const
{
    for (const PrintItem &item : m_items) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

QString printedDateLine(const QDateTime &when)
{
    // The page is an English document: day and month names do not follow the user's locale.
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(when, QStringLiteral("'Printed' dddd, MMMM d, yyyy, ' at 'hh:mm AP"));
}
