#pragma once

#include <QObject>

class MainStatusBar;
class MessageLog;
class QTimer;

// The life of the message area and the progress bar: a message stays until the next one or until
// MessageViewTimer fires 2 s after the action that showed it ends; ProgressBarTimer steps the bar.
// Every closing message also goes into the message log, with its reason. After a failure the bar
// stays empty until the next action starts: a full bar would read as done.
class MainMessages : public QObject {
    Q_OBJECT
public:
    MainMessages(MainStatusBar *bar, QObject *parent);

    // Green, or red with 'isError'; white text. 'reason' goes to the log and the area's tool tip.
    void showStatus(const QString &text, bool isError, const QString &reason = {});
    // Neutral colours; an empty text clears the area.
    void showActivity(const QString &text);

    void setProgressMaximum(int maximum);
    void setProgressPosition(int position);
    void stepProgress(int by);
    int progressMaximum() const;

    QTimer *messageViewTimer() const { return m_messageViewTimer; }
    QTimer *progressBarTimer() const { return m_progressBarTimer; }
    MessageLog *log() const { return m_log; }

private:
    void messageViewTimerFired();

    MainStatusBar *m_bar;
    MessageLog *m_log;
    bool m_failed = false;  // the last closing message was an error; the bar stays empty
    QTimer *m_messageViewTimer;
    QTimer *m_progressBarTimer;
};
