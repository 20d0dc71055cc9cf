#pragma once

#include <QObject>
#include <QString>

struct RegistryValue;
class TRegistryRoutines;
class QAction;
class QMenu;
class QWidget;

// A question before an action that cannot be taken back (the engine misfires, a memory is erased):
// No is its default, and "Don't ask again" silences it. Whether to ask is kept in the option store
// and shown as a ticked item of the Options menu, so that the user can have it asked again.
class AskFirst : public QObject {
    Q_OBJECT
public:
    // 'stored' must outlive this object (a constexpr RegistryValue, say); its default should be 1.
    // It is kept in 'options', which must outlive this object too.
    AskFirst(TRegistryRoutines &options, QMenu *optionsMenu, const QString &caption, const char *objectName,
             const RegistryValue &stored, QObject *parent);

    // True to go on: Yes to the question, or no question at all when the user silenced it.
    bool confirm(const QString &text, QWidget *parent);
    QAction *option() const { return m_option; }

private:
    QAction *m_option;
};
