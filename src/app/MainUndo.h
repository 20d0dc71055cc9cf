#pragma once

#include <QObject>

#include <functional>

class ExchangeGuard;
class MainActions;
class MainBody;
class PageUndo;
class QMenu;
class QToolBar;
class SettingsImage;

// Undo and redo of the settings pages in the main window: the "&Edit" menu, its two tool bar
// buttons and Ctrl+Z / Ctrl+Y, and the Modified mark after a step.
class MainUndo : public QObject {
    Q_OBJECT
public:
    // What it works with: the actions Undo1, Redo1 and ReadFromTraction1, the pages, the menu the
    // "&Edit" menu goes before, the tool bar its buttons join, the guard, and the Modified mark.
    struct Parts {
        const MainActions &actions;
        MainBody &body;
        QMenu *optionsMenu;
        QToolBar *tools;
        const ExchangeGuard &guard;
        std::function<void(bool)> setModified;
    };
    MainUndo(const Parts &parts, QObject *parent);

    PageUndo &pages() const { return *m_undo; }
    QMenu *editMenu() const { return m_editMenu; }

    // The pages were filled by a read, a load or an import; 'modified' is their mark after it,
    // which an undo back to this point restores.
    void pagesFilled(const SettingsImage &image, bool modified);
    void pagesClean(const SettingsImage &image);
    // 'written' went to the unit; the pages may have been edited since it left them.
    void pagesWritten(const SettingsImage &written);

    void Undo1Execute();
    void Redo1Execute();

private:
    bool locked() const;
    void updateActions();

    const MainActions &m_actions;
    MainBody &m_body;
    const ExchangeGuard &m_guard;
    PageUndo *m_undo = nullptr;
    QMenu *m_editMenu = nullptr;
};
