#pragma once

#include <QObject>

#include <functional>

class AskFirst;
class MainActions;
class MainBody;
class QMenu;
class QWidget;
class TractionLink;
class TRegistryRoutines;

// The main window's terminal page and the "Test" page's Send button: the swap between settings
// pages and terminal with its actions and title, the memo's commands, and the misfire test.
class MainTerminal : public QObject {
    Q_OBJECT
public:
    // What it works with: the actions Terminal1, TerminalClose1, Clear1 and ClipBoardCopy1, both
    // pages, the Options menu and the store its item is kept in, the link, the window its
    // questions belong to, the Modified mark, Read Settings as the menu runs it and the title bar.
    struct Parts {
        const MainActions &actions;
        MainBody &body;
        QMenu *optionsMenu;
        TRegistryRoutines &options;
        TractionLink &link;
        QWidget *window;
        std::function<bool()> modified;
        std::function<void()> readSettings;
        std::function<void(bool fileForm)> updateTitleBar;
    };
    MainTerminal(const Parts &parts, QObject *parent);

    bool shown() const;
    void Terminal1Execute();
    // Asks first, as the engine will misfire; "Don't ask again" is kept and undone in Options.
    void Test_CMiss_SendClick();
    AskFirst *askBeforeTest() const { return m_askBeforeTest; }

private:
    void enter();
    void leave();
    void leaveAndRead();

    Parts m_parts;
    AskFirst *m_askBeforeTest = nullptr;
};
