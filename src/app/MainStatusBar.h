#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

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

    void setModifiedText(const QString &text);  // third panel
    QString modifiedText() const;
    void setFirmwareText(const QString &text);  // fourth panel
    QString firmwareText() const;
    void setVersionText(const QString &text);   // fifth panel
    QString versionText() const;

    static QColor background(Tone tone);
    static QColor foreground(Tone tone);

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyTone();

    QLabel *m_message;
    QProgressBar *m_progress;
    QLabel *m_modified;
    QLabel *m_firmware;
    QLabel *m_version;
    Tone m_tone = Tone::Neutral;
};
