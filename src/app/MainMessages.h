#pragma once

#include <QObject>

class MainStatusBar;
class QTimer;

// The life of the message area and the progress bar: a message stays until the next one or until
// MessageViewTimer fires 2 s after the action that showed it ends; ProgressBarTimer steps the bar.
class MainMessages : public QObject {
    Q_OBJECT
public:
    MainMessages(MainStatusBar *bar, QObject *parent);

    // Green, or red with 'isError'; white text.
    void showStatus(const QString &text, bool isError);
    // Neutral colours; an empty text clears the area.
    void showActivity(const QString &text);

    void setProgressMaximum(int maximum);
    void setProgressPosition(int position);
    void stepProgress(int by);
    int progressMaximum() const;

    QTimer *messageViewTimer() const { return m_messageViewTimer; }
    QTimer *progressBarTimer() const { return m_progressBarTimer; }

private:
    void messageViewTimerFired();

    MainStatusBar *m_bar;
    QTimer *m_messageViewTimer;
    QTimer *m_progressBarTimer;
};
