// How the controls of the field table are arranged on the seven sheets.
#include "settings/ui/PageBuilder.h"

#include "link/OutputTest.h"
#include "settings/FieldConversions.h"
#include "settings/LogTime.h"
#include "settings/ui/CarView.h"
#include "settings/ui/MainFrame.h"
#include "widgets/AccessibleNames.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct SheetRow {
    const char *name;
    Sheet sheet;
    const char *icon;
    const char *hint;
    void (PageBuilder::*build)(QWidget *);
};

QWidget *columnWidget(QBoxLayout *row)
{
    auto *w = new QWidget;
    auto *col = new QVBoxLayout(w);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(8);
    // Held at the top: a shorter column beside a taller one would spread its rows apart.
    row->addWidget(w, 1, Qt::AlignTop);
    return w;
}

QVBoxLayout *sheetLayout(QWidget *sheet)
{
    auto *outer = new QVBoxLayout(sheet);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);
    return outer;
}

QHBoxLayout *sheetRow(QWidget *sheet)
{
    QVBoxLayout *outer = sheetLayout(sheet);
    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    outer->addLayout(row);
    outer->addStretch();
    return row;
}

}  // namespace

void PageBuilder::buildSheets(QTabWidget *pages)
{
    static const SheetRow sheets[] = {
        {"Configuration", Sheet::Configuration, "sheet_configuration", "some hint text here(1)",
         &PageBuilder::buildConfiguration},
        {"LaunchControl", Sheet::LaunchControl, "sheet_launch", "some hint text here(7)",
         &PageBuilder::buildLaunchControl},
        {"SlipControl", Sheet::SlipControl, "sheet_slip", "some hint text here(2)", &PageBuilder::buildSlipControl},
        {"Wheels", Sheet::Wheels, "sheet_wheels", "some hint text here(3)", &PageBuilder::buildWheels},
        {"CS_Rev_Limit", Sheet::CS_Rev_Limit, "sheet_revlimit", "some hint text here(4)", &PageBuilder::buildRevLimits},
        {"DataLogging", Sheet::DataLogging, "sheet_datalogging", "some hint text here(5)",
         &PageBuilder::buildDataLogging},
        {"Test", Sheet::Test, "sheet_test", "some hint text here(6)", &PageBuilder::buildTest},
    };
    for (const SheetRow &row : sheets) {
        auto *sheet = new QWidget(pages);
        add(sheet, row.name, row.hint);
        (this->*row.build)(sheet);
        pages->addTab(sheet, QIcon(QStringLiteral(":/settings/%1.svg").arg(QLatin1String(row.icon))),
                      QString::fromLatin1(sheetCaption(row.sheet)));
    }
    AccessibleNames::fromLabels(pages);
}

void PageBuilder::addColumns(QVBoxLayout *outer, QWidget *sheet, std::initializer_list<Column> columns)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    outer->addLayout(row);
    for (const Column &groups : columns) {
        QWidget *column = columnWidget(row);
        for (const auto &fields : groups)
            column->layout()->addWidget(fieldGroup(sheet, fields));
        alignLabels(column);
    }
}

void PageBuilder::buildConfiguration(QWidget *sheet)
{
    QVBoxLayout *outer = sheetLayout(sheet);
    addColumns(outer, sheet,
               {{{"Co_Min_Turn_speed", "Co_Time_Before_Turning", "Co_Stright_line_Override_Gph"},
                 {"Co_Mot_Speed", "Co_Mot_revs", "Min_Difference_DRY_Threshold", "Min_Difference_WET_Threshold"}},
                {{"Co_Diff_Speed_any", "MaxOpSpd_Edit"},
                 {"SS_Num_Cylinders"},
                 {"SS_non_sequential"},
                 {"ss_Smoothing_value"}}});
    outer->addStretch();
}

void PageBuilder::buildLaunchControl(QWidget *sheet)
{
    QVBoxLayout *outer = sheetLayout(sheet);
    QGroupBox *common = fieldGroup(sheet, {"LC_Delay_Spd_Override_Gph", "LC_Slip_to_reinstate_Gph",
                                           "LC_Slip_ovr_slowspeed_getaway_Gph"});
    outer->addWidget(common);
    alignLabels(common);
    addColumns(outer, sheet,
               {{{"Launch_DRY_RPM_HARD", "Launch_DRY_RPM_SOFT", "LC_Dry_Start_delay", "LC_dry_slow_override"}},
                {{"Launch_WET_RPM_HARD", "Launch_WET_RPM_SOFT", "LC_Wet_Start_delay", "LC_wet_slow_override"}}});
    outer->addStretch();
}

void PageBuilder::buildSlipControl(QWidget *sheet)
{
    auto *outer = new QVBoxLayout(sheet);
    outer->setContentsMargins(10, 6, 10, 6);
    outer->setSpacing(4);
    outer->addWidget(cutGroup(sheet, "SC_Seq1", "GroupBox6", "Sc_Seq1_Assert_Graphical"));
    outer->addWidget(cutGroup(sheet, "SC_Seq2", "GroupBox7", "Sc_Seq2_Assert_Graphical"));
    outer->addWidget(cutGroup(sheet, "SC_Seq3", "GroupBox8", "Sc_Seq3_Assert_Graphical"));
    outer->addWidget(cutGroup(sheet, "SC_Integral", "Sc_Int_label", "SC_Int_start_after"));
    outer->addStretch();
    alignLabels(sheet);
}

QWidget *PageBuilder::calculatorRow(QGroupBox *box, const char *button, const char *caption)
{
    auto *grid = static_cast<QGridLayout *>(box->layout());
    auto *calc = new QToolButton(box);
    add(calc, button, "Click here to allow you to enter the\n\rvalues from the tire wall.");
    calc->setIcon(QIcon(QStringLiteral(":/settings/calculator.svg")));
    calc->setText(QStringLiteral("Tyre size..."));
    calc->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto *size = new QLabel(box);
    add(size, caption);
    QFont bold = size->font();
    bold.setBold(true);
    size->setFont(bold);
    // Room for the widest listed size, so that confirming one does not shift the car picture.
    size->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("335 / 85 R19.5")));
    auto *holder = new QWidget(box);
    auto *row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(calc);
    row->addWidget(size, 1);
    grid->addWidget(holder, grid->rowCount(), 1);
    return calc;
}

void PageBuilder::buildWheels(QWidget *sheet)
{
    auto *outer = new QHBoxLayout(sheet);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(12);
    auto *left = new QWidget(sheet);
    auto *col = new QVBoxLayout(left);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(8);
    outer->addWidget(left);

    const struct {
        const char *diameter, *pulses, *button, *caption;
        void (TAFrame::*click)();
    } wheels[] = {
        {"Wh_Reference_Dia", "Wh_Reference_Pulse", "Reference_Dia_Calc", "Reference_label",
         &TAFrame::Reference_Dia_CalcClick},
        {"Wh_Driven_Dia", "Wh_Driven_Pulse", "Driven_Dia_Calc", "Drivern_label", &TAFrame::Driven_Dia_CalcClick},
    };
    for (const auto &wheel : wheels) {
        QGroupBox *box = fieldGroup(sheet, {wheel.diameter});
        QWidget *calc = calculatorRow(box, wheel.button, wheel.caption);
        QObject::connect(static_cast<QToolButton *>(calc), &QToolButton::clicked, m_frame, wheel.click);
        addFieldRow(static_cast<QGridLayout *>(box->layout()), field(wheel.pulses));
        col->addWidget(box);
    }
    col->addStretch();
    alignLabels(left);

    auto *car = new CarView(sheet);
    car->setObjectName(QStringLiteral("Image2"));
    outer->addWidget(car, 1);
    int corner = 0;
    for (const SensorList &sensor : sensorLists()) {
        QComboBox *combo = list(sensor.control, channelItems(), car);
        combo->setAccessibleName(QString::fromLatin1(sensor.label));
        m_hints.append({combo, QString::fromLatin1(sensor.hint)});
        combo->setMinimumContentsLength(4);
        QObject::connect(combo, &QComboBox::activated, m_frame, [frame = m_frame, combo] { frame->anyChange(combo); });
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, m_frame,
                         [frame = m_frame, combo] { frame->anyChange(combo); });
        car->setCorner(corner++, combo);
    }
}

void PageBuilder::buildRevLimits(QWidget *sheet)
{
    QVBoxLayout *outer = sheetLayout(sheet);
    outer->addWidget(cutGroup(sheet, "Cs_Soft_rev", "CS_softrevlabel", nullptr));
    outer->addWidget(cutGroup(sheet, "Cs_Hard_rev", "Hard_rev_limit_label", nullptr));
    addColumns(outer, sheet, {{{"RL_Soft_cut", "RL_Hard_Cut"}}, {{"CO_Inv_Clutch_Sw"}}});
    outer->addStretch();
}

void PageBuilder::buildDataLogging(QWidget *sheet)
{
    QHBoxLayout *row = sheetRow(sheet);
    const Field &rate = field("Sample_Rate");
    QGroupBox *box = group(sheet, QString::fromLatin1(rate.group));
    auto *grid = static_cast<QGridLayout *>(box->layout());
    auto *name = new QLabel(QString::fromLatin1(rate.name), box);
    name->setProperty("pageName", true);
    QComboBox *combo = list(rate.control, rateItems(), box);
    m_hints.append({combo, QString::fromLatin1(rate.hint)});
    combo->setMinimumContentsLength(6);
    name->setBuddy(combo);
    QObject::connect(combo, &QComboBox::activated, m_frame, &TAFrame::Sample_RateChange);
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, m_frame, &TAFrame::Sample_RateChange);
    auto *logTime = new QLabel(box);
    add(logTime, "Total_log_time");
    logTime->setMinimumWidth(logTime->fontMetrics().horizontalAdvance(LogTime::caption(14)) + 8);
    grid->addWidget(name, 0, 0);
    grid->addWidget(combo, 0, 1, Qt::AlignLeft);
    grid->addWidget(logTime, 0, 2);
    addFieldRow(grid, field("Co_Revs_Scale"));
    addFieldRow(grid, field("CB_Logger_Enabled"));

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    auto *clear = new QPushButton(QStringLiteral("Clear ram"), box);
    add(clear, "DL_Clear_Ram", "Empties the internal memory");
    auto *read = new QPushButton(QStringLiteral("Read"), box);
    add(read, "DL_UploadBtn", "Copies data from internal memory into this software");
    buttons->addWidget(read);
    buttons->addWidget(clear);
    buttons->addStretch();
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 3);
    m_frame->DL_Clear_Ram = clear;
    m_frame->DL_UploadBtn = read;
    for (QPushButton *b : {clear, read})
        b->setAccessibleName(b->text());
    row->addWidget(box, 1);
    alignLabels(box);
}

// Not part of the image: nothing here marks the pages modified.
void PageBuilder::buildTest(QWidget *sheet)
{
    QHBoxLayout *row = sheetRow(sheet);
    QGroupBox *box = group(sheet, QStringLiteral("Create misfire"));
    auto *grid = static_cast<QGridLayout *>(box->layout());
    QComboBox *type = list("Test_CMiss_Type", OutputTest::typeTexts(), box);
    type->setAccessibleName(QStringLiteral("Type of test"));  // it has no label
    m_hints.append({type, QStringLiteral("Type of test to perform.")});
    type->setCurrentIndex(0);
    type->setMinimumContentsLength(18);
    auto *timeName = new QLabel(QStringLiteral("Misfire for"), box);
    QComboBox *time = list("Test_CMiss_Time", OutputTest::timeTexts(), box);
    m_hints.append({time, QStringLiteral("Lenght of time test runs for.")});
    time->setCurrentIndex(0);
    time->setMinimumContentsLength(5);
    timeName->setBuddy(time);
    auto *timeRow = new QHBoxLayout;
    timeRow->setSpacing(6);
    timeRow->addWidget(timeName);
    timeRow->addWidget(time);
    timeRow->addWidget(new QLabel(QStringLiteral("Seconds"), box));
    timeRow->addStretch();
    auto *send = new QPushButton(QStringLiteral("Send"), box);
    add(send, "Test_CMiss_Send", "Press to send the test command to the unit.");
    grid->addWidget(type, 0, 0, Qt::AlignLeft);
    grid->addLayout(timeRow, 1, 0);
    grid->addWidget(send, 2, 0, Qt::AlignLeft);
    m_frame->Test_CMiss_Type = type;
    m_frame->Test_CMiss_Time = time;
    m_frame->Test_CMiss_Send = send;
    row->addWidget(box);
    row->addStretch();
}
