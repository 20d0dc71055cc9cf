#pragma once

#include <QObject>

class TForm1;

// The main window's terminal page and the "Test" page's Send button: the swap between settings
// pages and terminal with its actions and title, the memo's commands, and the misfire test.
class MainTerminal : public QObject {
    Q_OBJECT
public:
    explicit MainTerminal(TForm1 &window);

    bool shown() const;
    void Terminal1Execute();
    void Test_CMiss_SendClick();

private:
    void enter();
    void leave();
    void leaveAndRead();

    TForm1 &m_window;
};
