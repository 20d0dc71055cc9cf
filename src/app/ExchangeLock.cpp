#include "app/ExchangeLock.h"

#include "app/MainActions.h"
#include "link/ExchangeGuard.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr const char *LockedActions[] = {
    "Open1",     "Save1",          "SaveAs1", "Print1",           "Import1",           "Exit1",
    "Terminal1", "TerminalClose1", "Graph1",  "WriteToTraction1", "ReadFromTraction1", "HelpContents1",
    "About2",    "PrinterSetup1",  "Email1",  "FeedBack1"};

}  // namespace

ExchangeLock::ExchangeLock(const MainActions &actions, const ExchangeGuard &guard,
                           std::function<QList<QMenu *>()> menus)
    : m_actions(actions), m_guard(guard), m_menus(std::move(menus))
{
}

bool ExchangeLock::locked() const { return m_locked || m_guard.running(); }

std::span<const char *const> ExchangeLock::lockedActions() { return LockedActions; }

void ExchangeLock::lock() { enable(false, false); }

void ExchangeLock::unlock(bool settingsLoaded) { enable(true, settingsLoaded); }

void ExchangeLock::enable(bool on, bool settingsLoaded)
{
    m_locked = !on;
    for (const char *name : LockedActions) {
        if (on && !settingsLoaded && qstrcmp(name, "Save1") == 0)
            continue;
        m_actions[name]->setEnabled(on);
    }
    for (QMenu *menu : m_menus())
        menu->setEnabled(on);
}
