#pragma once

#include <QDockWidget>

class QMainWindow;
struct RegistryValue;
class TRegistryRoutines;
struct ToolbarLayoutKeys;

// The bars of a window of fixed size need no resize handle between them: no gap, no dotted grip.
void hideDockSeparators(QMainWindow *window);

// A bar in the window's top dock that the user may float, dock again or lock in place.
// Qt's tool bars cannot be floated from code, so a bar lives in a dock widget: a slim grip
// while docked, a small tool window of its own while floating.
class ToolbarDock : public QDockWidget {
    Q_OBJECT
public:
    ToolbarDock(const QString &caption, QWidget *content, bool closable, QWidget *parent = nullptr);

    // Locked bars can neither float nor change dock, and show no grip.
    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

    // Where it floats, or docked when 'floating' is false; either way 'position' is where it
    // last floated, kept for the store.
    void place(bool floating, const QPoint &position);
    // Back into the dock, keeping where it last floated.
    void dock();
    QPoint floatingPosition() const { return m_floatingPosition; }

protected:
    void moveEvent(QMoveEvent *event) override;

private:
    void updateTitleBar();

    bool m_locked = false;
    QPoint m_floatingPosition;
    bool m_closable;
    QWidget *m_grip;
};

// A window's two bars as stored between runs: each one's floating state and position, and the
// lock ("Locked" 0 is locked, any other value free). restoreBars returns whether they are locked.
bool restoreBars(TRegistryRoutines &options, const ToolbarLayoutKeys &keys, ToolbarDock *menuBar,
                 ToolbarDock *navigator);
void storeBars(TRegistryRoutines &options, const ToolbarLayoutKeys &keys, const ToolbarDock *menuBar,
               const ToolbarDock *navigator, bool locked);
