#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;
class QPushButton;

// The main window's status bar: message area, progress bar, "Modified", the unit's firmware
// version and the program's own version, left to right.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum class Tone { Neutral, Ok, Error };

    explicit MainStatusBar(QWidget *parent = nullptr);

    void showMessage(const QString &text, Tone tone);
    QString messageText() const;
    // Why the message came, shown as the message area's tool tip (the fixed texts are short).
    void setMessageDetail(const QString &detail);
    QString messageToolTip() const;
    Tone messageTone() const { return m_tone; }

    QProgressBar *progressBar() const { return m_progress; }
    // "Cancel" beside the progress bar, shown only while an exchange can be cancelled; the bar
    // narrows to make room for it.
    QPushButton *cancelButton() const { return m_cancel; }
    void offerCancel(bool on);

    void setModifiedText(const QString &text);  // third panel
    QString modifiedText() const;
    void setFirmwareText(const QString &text);  // fourth panel
    QString firmwareText() const;
    void setVersionText(const QString &text);  // fifth panel
    QString versionText() const;

    static QColor background(Tone tone);
    static QColor foreground(Tone tone);

signals:
    // A click on the message area: the user wants to read the messages again.
    void messageAreaClicked();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyTone();

    QLabel *m_message;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_modified;
    QLabel *m_firmware;
    QLabel *m_version;
    Tone m_tone = Tone::Neutral;
};
