#include "app/MainTerminal.h"

#include "app/MainActions.h"
#include "app/MainBody.h"
#include "link/OutputTest.h"
#include "link/TractionLink.h"
#include "link/ui/TerminalFrame.h"
#include "settings/ui/MainFrame.h"
#include "platform/RegistryRoutinesUnit.h"
#include "widgets/AskFirst.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>

namespace {

constexpr const char *ModifiedWarning = "Data has been modified :- These changes WILL be lost, do you wish to proceed?";
constexpr const char *MisfireQuestion = "The engine will misfire for %1 s. Start the test?";
constexpr RegistryValue AskBeforeTest{"\\Options", "AskBeforeMisfireTest", RegistryValue::Type::Boolean, 1};

QString seconds(int timeIndex)
{
    const auto times = OutputTest::times();
    const int ms = timeIndex >= 0 && timeIndex < int(times.size()) ? times[timeIndex].ms : OutputTest::NoTimeSelectedMs;
    return QString::number(ms / 1000.0);
}

}  // namespace

MainTerminal::MainTerminal(const Parts &parts, QObject *parent) : QObject(parent), m_parts(parts)
{
    TBFrame *frame = parts.body.frame2();
    TractionLink &link = parts.link;
    // A key typed while an exchange runs would land in the middle of it.
    frame->setSendChar([&link](quint8 byte) { return link.guard().free() && link.Comm1().SendChar(byte); });
    for (const char *name : {"Terminal1", "TerminalClose1"})
        connect(parts.actions[name], &QAction::triggered, this, &MainTerminal::Terminal1Execute);
    connect(parts.actions["Clear1"], &QAction::triggered, frame, &TBFrame::Clear1Execute);
    connect(parts.actions["ClipBoardCopy1"], &QAction::triggered, frame, &TBFrame::ClipBoardCopy1Execute);
    connect(parts.body.frame1()->Test_CMiss_Send, &QPushButton::clicked, this, &MainTerminal::Test_CMiss_SendClick);
    m_askBeforeTest = new AskFirst(parts.options, parts.optionsMenu, QStringLiteral("Ask before the &Misfire Test"),
                                   "AskBeforeMisfireTest1", AskBeforeTest, this);
}

bool MainTerminal::shown() const { return m_parts.body.pages()->currentWidget() == m_parts.body.frame2(); }

void MainTerminal::Terminal1Execute()
{
    if (shown())
        leave();
    else
        enter();
}

void MainTerminal::enter()
{
    if (m_parts.modified() && !Dialogs::instance().warningOkCancel(QLatin1String(ModifiedWarning), m_parts.window))
        return;
    TBFrame *frame = m_parts.body.frame2();
    frame->addLine(QString());
    m_parts.body.pages()->setCurrentWidget(frame);
    m_parts.actions["Terminal1"]->setVisible(false);
    m_parts.actions["TerminalClose1"]->setVisible(true);
    m_parts.actions["Clear1"]->setEnabled(true);
    m_parts.actions["ClipBoardCopy1"]->setEnabled(true);
    frame->RecievedData()->setFocus();
    m_parts.updateTitleBar(false);
}

void MainTerminal::leave()
{
    // Refused while an exchange runs; while the unit streams text the read waits for the receive
    // handler to return, or it would never see the image.
    m_parts.link.whenFree(Exchange::Read, [this] { leaveAndRead(); });
}

void MainTerminal::leaveAndRead()
{
    // Seen the next time the terminal is shown.
    TBFrame *frame = m_parts.body.frame2();
    for (const char *line : {"", "Ready.....", ""})
        frame->addLine(QLatin1String(line));
    m_parts.body.pages()->setCurrentWidget(m_parts.body.frame1());
    m_parts.actions["Clear1"]->setEnabled(false);
    m_parts.actions["ClipBoardCopy1"]->setEnabled(false);
    // The user may have changed settings through the unit's own menu.
    m_parts.readSettings();
    m_parts.actions["Terminal1"]->setVisible(true);
    m_parts.actions["TerminalClose1"]->setVisible(false);
    m_parts.updateTitleBar(true);
}

void MainTerminal::Test_CMiss_SendClick()
{
    // By the texts shown: a time typed into the box that is not one of the list's is none selected.
    const TAFrame *pages = m_parts.body.frame1();
    const int type = OutputTest::typeIndex(pages->Test_CMiss_Type->currentText());
    const int time = OutputTest::timeIndex(pages->Test_CMiss_Time->currentText());
    TractionLink &link = m_parts.link;
    // Refused while an exchange runs, before anything is asked. With no type chosen nothing is
    // sent, so nothing misfires and there is nothing to ask.
    link.whenFree(Exchange::OutputTest, [this, &link, type, time] {
        if (type >= 0 && !m_askBeforeTest->confirm(QLatin1String(MisfireQuestion).arg(seconds(time)), m_parts.window))
            return;
        link.Test_CMiss_Send(type, time);
    });
}
