#pragma once

#include <QObject>

class PageUndo;
class QMenu;
class SettingsImage;
class TForm1;

// Undo and redo of the settings pages in the main window: the "&Edit" menu, its two tool bar
// buttons and Ctrl+Z / Ctrl+Y, and the Modified mark after a step.
class MainUndo : public QObject {
    Q_OBJECT
public:
    explicit MainUndo(TForm1 &window);

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

    TForm1 &m_window;
    PageUndo *m_undo = nullptr;
    QMenu *m_editMenu = nullptr;
};
