#include "app/MainMessages.h"

#include "app/MainStatusBar.h"
#include "app/MessageLog.h"

#include <QProgressBar>
#include <QTimer>

MainMessages::MainMessages(MainStatusBar *bar, QObject *parent)
    : QObject(parent), m_bar(bar), m_log(new MessageLog(this))
{
    m_messageViewTimer = new QTimer(this);
    m_messageViewTimer->setObjectName(QStringLiteral("MessageViewTimer"));
    m_messageViewTimer->setInterval(2000);
    connect(m_messageViewTimer, &QTimer::timeout, this, &MainMessages::messageViewTimerFired);
    m_progressBarTimer = new QTimer(this);
    m_progressBarTimer->setObjectName(QStringLiteral("ProgressBarTimer"));
    connect(m_progressBarTimer, &QTimer::timeout, this, [this] { stepProgress(1); });
}

void MainMessages::showStatus(const QString &text, bool isError, const QString &reason)
{
    m_bar->showMessage(text, isError ? MainStatusBar::Tone::Error : MainStatusBar::Tone::Ok);
    if (!reason.isEmpty())
        m_bar->setMessageDetail(reason);
    m_log->add(text, isError, reason);
    m_failed = isError;
    if (m_failed)
        m_bar->progressBar()->setValue(0);
}

void MainMessages::showActivity(const QString &text)
{
    if (!text.isEmpty())
        m_failed = false;  // a new action
    m_bar->showMessage(text, MainStatusBar::Tone::Neutral);
}

void MainMessages::setProgressMaximum(int maximum)
{
    m_failed = false;
    m_bar->progressBar()->setMaximum(maximum);
}

void MainMessages::setProgressPosition(int position) { m_bar->progressBar()->setValue(m_failed ? 0 : position); }

void MainMessages::stepProgress(int by)
{
    QProgressBar *progress = m_bar->progressBar();
    if (!m_failed)
        progress->setValue(qMin(progress->maximum(), progress->value() + by));
}

int MainMessages::progressMaximum() const { return m_bar->progressBar()->maximum(); }

void MainMessages::messageViewTimerFired()
{
    m_bar->progressBar()->setValue(0);
    showActivity(QString());
    m_messageViewTimer->stop();
}
