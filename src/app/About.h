#pragma once

#include "platform/ProgramVersion.h"

#include <QDialog>
#include <QTimer>

class QFrame;
class QLabel;

// The about box: borderless, centred on the desktop, closed by a click anywhere on it.
// Shift and a right press on the picture roll the credits.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);

    // "Software Version :- 1.2.3 (Build 45)"
    static QString VersionLine(const ProgramVersion &version);
    // "About " and the program file's name without its folder and without ".exe".
    static QString Caption(const QString &programFile);

    QLabel *label(const char *name) const;
    bool rollingCredits() const { return m_step >= 0; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLine(const char *name, const QString &text, int top, const QFont &font);
    QLabel *addLink(const char *name, const QString &caption, const QString &text, const QString &url, int top);
    void startCredits();
    void creditStep();

    QFrame *m_panel;
    QWidget *m_picture;
    QTimer m_creditTimer;
    int m_step = -1;
    int m_lastStep = 0;
};
