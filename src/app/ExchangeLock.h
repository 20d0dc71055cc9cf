#pragma once

#include <QList>

#include <functional>
#include <span>

class ExchangeGuard;
class MainActions;
class QMenu;

// While an exchange with the unit runs, no command may start another exchange, load, save, print
// or mail, open another window or close the program. The link's guard is what refuses a second
// exchange; the menus only show it.
class ExchangeLock {
public:
    // 'menus' gives the sub-menus in the order they are disabled (the port menu comes late).
    ExchangeLock(const MainActions &actions, const ExchangeGuard &guard, std::function<QList<QMenu *>()> menus);

    // The actions disabled, in the order they are disabled.
    static std::span<const char *const> lockedActions();

    void lock();
    // Save has a file only once settings were read or loaded; until then it stays as it was.
    void unlock(bool settingsLoaded);
    // Whether an exchange runs (or the menus are still shown locked at its end).
    bool locked() const;
    bool shownLocked() const { return m_locked; }

private:
    void enable(bool on, bool settingsLoaded);

    const MainActions &m_actions;
    const ExchangeGuard &m_guard;
    std::function<QList<QMenu *>()> m_menus;
    bool m_locked = false;
};
