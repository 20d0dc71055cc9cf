#include "app/MainActions.h"

#include "widgets/AppIcons.h"

#include <QAction>
#include <QKeySequence>

namespace {

constexpr const char *OpenHint = "Open a previously saved data file";
constexpr const char *SaveHint = "Save current traction settings file";
constexpr const char *TerminalHint = "Open a Terminal screen and communicate directly with the traction system";

// clang-format off
constexpr ActionRow Table[] = {
    {"Open1",             "&Open",               "Ctrl+O", OpenHint, "document-open",       "open",          true,  true},
    {"Save1",             "&Save",               "Ctrl+S", SaveHint, "document-save",       "save",          false, true},
    {"SaveAs1",           "S&aveAs",             "",       SaveHint, "document-save-as",    "save-as",       true,  true},
    {"Print1",            "&Print",              "Ctrl+P", "Print current settings", "document-print", "print", true, true},
    {"PrinterSetup1",     "P&rinter Setup",      "",       "",       "document-page-setup", "printer-setup", true,  true},
    {"Import1",           "&Import",             "",       OpenHint, "document-import",     "import",        true,  true},
    {"History1",          "&History",            "", "Tunes kept from every read, write and save", "document-open-recent", "history", true, true},
    {"Undo1",             "&Undo",               "Ctrl+Z", "Undo the last change on the pages", "edit-undo", "undo", false, true},
    {"Redo1",             "&Redo",               "Ctrl+Y", "Redo the change last undone", "edit-redo", "redo",     false, true},
    {"Exit1",             "E&xit",               "Ctrl+X", "Close the program", "application-exit", "exit",  true,  true},
    {"LockToolbars1",     "Lock Toolbars",       "",       "",       "",                    "lock",          true,  true},
    {"FreeToolBars1",     "Free Toolbars",       "",       "",       "",                    "unlock",        true,  true},
    {"ViewNavigatorBar",  "View &Navigator Bar", "",       "",       "",                    "navigator",     true,  true},
    {"Terminal1",         "T&erminal",           "",       TerminalHint, "utilities-terminal", "terminal",   true,  true},
    {"TerminalClose1",    "T&erminal",           "",       TerminalHint, "",                "terminal-close", true,  false},
    {"Clear1",            "Clear",               "",       "",       "edit-clear",          "clear",         true,  true},
    {"ClipBoardCopy1",    "Copy to Clipboard",   "",       "",       "edit-copy",           "copy",          true,  true},
    {"Graph1",            "&Graph",              "",       "Graphicly display wheelspeeds, RPM and cut level", "", "graph", true, true},
    {"WriteToTraction1",  "&Write Settings",     "",       "Transfer settings into traction control unit", "", "write-unit", true, true},
    {"ReadFromTraction1", "Rea&d Settings",      "",       "Transfer settings from traction control unit", "", "read-unit", true, true},
    {"HelpContents1",     "Man&ual",             "F1",     "Show traction manual", "help-contents", "manual",    true,  true},
    {"About2",            "A&bout ...",          "",       "Show current program version, windows version and resources available", "help-about", "about", true, true},
    {"Email1",            "E&mail",              "",       "",       "mail-send",           "email",         true,  true},
    {"FeedBack1",         "Send Feedbac&k",      "",       "",       "mail-message-new",    "feedback",      true,  true},
};
// clang-format on

}  // namespace

std::span<const ActionRow> mainActionTable() { return Table; }

MainActions::MainActions(QObject *parent)
{
    for (const ActionRow &row : Table) {
        auto *action = new QAction(QString::fromUtf8(row.caption), parent);
        action->setObjectName(QString::fromLatin1(row.name));
        if (*row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        action->setIcon(appIcon(row.themeIcon, row.iconFile));
        action->setEnabled(row.enabled);
        action->setVisible(row.visible);
        m_byName.insert(action->objectName(), action);
        m_ordered.append(action);
    }
}

QAction *MainActions::operator[](const char *name) const
{
    QAction *action = m_byName.value(QString::fromLatin1(name));
    Q_ASSERT_X(action, "MainActions", name);
    return action;
}

void MainActions::applyHints()
{
    for (const ActionRow &row : Table) {
        if (!*row.hint)
            continue;
        QAction *action = (*this)[row.name];
        action->setToolTip(QString::fromUtf8(row.hint));
        action->setStatusTip(QString::fromUtf8(row.hint));
    }
}
