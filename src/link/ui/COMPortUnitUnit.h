#pragma once

#include "link/PortRecovery.h"
#include "link/PortSelection.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>

class PortDirectory;
class QAction;
class TractionLink;
class TRegistryRoutines;

// The port form: never shown; it carries the port (Comm1, inside the link), the "COM Ports"
// submenu and the choice of port with its stored options.
class TCOMPortForm : public QObject {
    Q_OBJECT
public:
    static constexpr const char *IDS_COMPORT = "COM Ports";
    static constexpr const char *ID_NOT_AVAILABLE = "is not available";

    // Loads "CommPort" and "AllowVirtualPorts" from the option store, and keeps them there.
    TCOMPortForm(TractionLink &link, PortDirectory &directory, TRegistryRoutines &options, QObject *parent = nullptr);

    // The main window's first showing: the submenu at the top of the options menu, the scan,
    // the stored port opened, or the message that it is not available.
    void startUp(QMenu *optionsMenu);
    void BuildPortMenu(QMenu *parentMenu);
    void ScanPorts(bool open);
    void SelectPort(QAction *item);
    void AllowVirtualComPortsClick(QAction *item);

    QMenu *PortMenu() const { return m_portMenu; }
    PortSelection &selection() { return m_selection; }
    PortRecovery &recovery() { return m_recovery; }
    // Who speaks of a lost port instead of the plain error box (a live run says it its own way);
    // it returns false to leave it to the box.
    void setLostSaid(std::function<bool(const QString &message)> say) { m_lostSaid = std::move(say); }

signals:
    // A status message for the window: the lost port came back by itself.
    void portReopened(const QString &text);
    // An error for the window's status: another device stands under the lost port's number;
    // the detail names it and says how to use it.
    void portOtherDevice(const QString &text, const QString &detail);

private:
    void rebuildItems();

    TractionLink &m_link;
    TRegistryRoutines &m_options;
    PortSelection m_selection;
    PortRecovery m_recovery;
    QPointer<QMenu> m_portMenu;
    std::function<bool(const QString &)> m_lostSaid;
};
