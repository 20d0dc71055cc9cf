#include "link/ui/COMPortUnitUnit.h"

#include "widgets/Dialogs.h"
#include "link/StatusMessages.h"
#include "link/TractionLink.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyle>

namespace {

QIcon portInUseIcon()
{
    return QIcon::fromTheme(QStringLiteral("network-wired"),
                            QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton));
}

}  // namespace

TCOMPortForm::TCOMPortForm(TractionLink &link, PortDirectory &directory, TRegistryRoutines &options, QObject *parent)
    : QObject(parent), m_link(link), m_options(options), m_selection(directory, link.Comm1()),
      m_recovery(m_selection, link.Comm1())
{
    setObjectName(QStringLiteral("COMPortForm"));
    m_selection.load(options.read(RegistryKeys::CommPort), options.read(RegistryKeys::AllowVirtualPorts) != 0);
    // A vanished device is said once, in the application's error box.
    connect(&link.Comm1(), &SerialDevice::lost, this, [this](const QString &message) {
        if (!m_lostSaid || !m_lostSaid(message))
            Dialogs::instance().error(message);
    });
    connect(&link, &TractionLink::closedForGood, &m_recovery, &PortRecovery::stop);
    // Reopened in the middle of an exchange, the port would take that exchange's next keys.
    m_recovery.setGate([&link] { return !link.guard().running(); });
    connect(&m_recovery, &PortRecovery::reopened, this, [this](int number) {
        emit portReopened(QString::fromLatin1(StatusMessages::PortReopened).arg(number));
        rebuildItems();
    });
    connect(&m_recovery, &PortRecovery::otherDevice, this, [this](int number, const QString &device) {
        emit portOtherDevice(
            QString::fromLatin1(StatusMessages::PortOtherDevice).arg(number),
            QStringLiteral("%1, not opened; pick COM %2 under Options, COM Ports to use it").arg(device).arg(number));
    });
}

void TCOMPortForm::startUp(QMenu *optionsMenu)
{
    if (!m_portMenu)
        BuildPortMenu(optionsMenu);
    ScanPorts(true);
    if (!m_selection.PortEverOpened())
        Dialogs::instance().message(
            QStringLiteral("COM %1 %2").arg(m_selection.portNumber()).arg(QLatin1String(ID_NOT_AVAILABLE)));
}

void TCOMPortForm::BuildPortMenu(QMenu *parentMenu)
{
    m_link.Comm1().close();
    delete m_portMenu;
    m_portMenu = new QMenu(QString::fromLatin1(IDS_COMPORT), parentMenu);
    m_portMenu->setObjectName(QStringLiteral("PortMenu"));
    m_portMenu->setToolTipsVisible(true);  // the adapter's name, where the caption gives only its number
    m_portMenu->setIcon(portInUseIcon());
    const auto actions = parentMenu->actions();
    parentMenu->insertMenu(actions.isEmpty() ? nullptr : actions.first(), m_portMenu);
    // Fresh each time it opens.
    connect(m_portMenu, &QMenu::aboutToShow, this, [this] { ScanPorts(false); });
}

void TCOMPortForm::ScanPorts(bool open)
{
    m_selection.ScanPorts(open);
    rebuildItems();
}

void TCOMPortForm::rebuildItems()
{
    if (!m_portMenu)
        return;
    m_portMenu->clear();
    for (const PortSelection::Item &item : m_selection.items()) {
        QAction *action = m_portMenu->addAction(item.caption);
        action->setData(item.number);
        action->setEnabled(item.enabled);
        action->setProperty("marked", item.marked);
        action->setToolTip(item.hint.isEmpty() ? item.caption : item.hint);
        if (item.marked)
            action->setIcon(portInUseIcon());
        connect(action, &QAction::triggered, this, [this, action] { SelectPort(action); });
    }
}

void TCOMPortForm::SelectPort(QAction *item)
{
    if (!m_link.guard().free())
        return;  // closing the port under a running exchange would cut it off
    QString error;
    const auto choice = m_selection.SelectPort(item->data().toInt(), &error);
    if (choice == PortSelection::Choice::Unchanged)
        return;
    if (m_portMenu)
        for (QAction *a : m_portMenu->actions()) {
            a->setIcon(a == item ? portInUseIcon() : QIcon());
            a->setProperty("marked", a == item);
        }
    if (choice == PortSelection::Choice::Failed) {
        Dialogs::instance().error(error);
        return;
    }
    m_options.write(RegistryKeys::CommPort, m_selection.portNumber(), false);
}

void TCOMPortForm::AllowVirtualComPortsClick(QAction *item)
{
    m_selection.setAllowVirtualPorts(!m_selection.AllowVirtualPorts());
    if (item) {
        item->setCheckable(true);
        item->setChecked(m_selection.AllowVirtualPorts());
    }
    m_options.write(RegistryKeys::AllowVirtualPorts, m_selection.AllowVirtualPorts() ? 1 : 0);
}
