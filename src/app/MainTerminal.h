#pragma once

#include <QObject>

class AskFirst;
class TForm1;

// The main window's terminal page and the "Test" page's Send button: the swap between settings
// pages and terminal with its actions and title, the memo's commands, and the misfire test.
class MainTerminal : public QObject {
    Q_OBJECT
public:
    explicit MainTerminal(TForm1 &window);

    bool shown() const;
    void Terminal1Execute();
    // Asks first, as the engine will misfire; "Don't ask again" is kept and undone in Options.
    void Test_CMiss_SendClick();
    AskFirst *askBeforeTest() const { return m_askBeforeTest; }

private:
    void enter();
    void leave();
    void leaveAndRead();

    TForm1 &m_window;
    AskFirst *m_askBeforeTest = nullptr;
};
