#include "graph/ui/GraphForm.h"

#include "widgets/Dialogs.h"
#include "graph/GraphFiles.h"
#include "graph/ui/ChartCanvas.h"
#include "graph/ui/TimeSetupForm.h"

#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <qcustomplot.h>

#include <algorithm>

void TGraphChart::buildRealTime()
{
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double hz = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60;
    // Never faster than the screen, nor than a person follows a moving trace: each redraw of the
    // whole chart costs a few ms of raster work, a frame only a few us.
    m_redraw->setInterval(std::max(LiveRedrawMs, int(1000 / hz)));
    connect(m_redraw, &QTimer::timeout, this, &TGraphChart::redrawLive);

    m_lostFrames = new QLabel(m_panel2);
    m_lostFrames->setObjectName(QStringLiteral("LostFrames"));
    m_lostFrames->setAccessibleName(QStringLiteral("Lost frames"));
    m_lostFrames->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lostFrames->hide();  // until a run has something to count
    m_frameRate = new QLabel(m_panel2);
    m_frameRate->setObjectName(QStringLiteral("FrameRate"));
    m_frameRate->setAccessibleName(QStringLiteral("Frame rate"));
    m_frameRate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_frameRate->hide();
    connect(m_poll, &LivePoll::framesLostChanged, this,
            [this](quint64 lost) { m_lostFrames->setText(QStringLiteral("Lost frames: %1").arg(lost)); });
}

void TGraphChart::setRunCommands(bool running)
{
    const auto enable = [this](const char *name, bool on) {
        findChild<QAction *>(QString::fromLatin1(name))->setEnabled(on);
    };
    enable("RealTimeStart3", !running);
    enable("RealTimeStop3", running);
    enable("Load3", !running);
    enable("Save3", !running);
    enable("TimeSetup1", running);
    if (running)
        enable("WholeRun3", false);
    // The cursor is hidden while a run goes on: its layer of its own would only add a buffer to
    // draw at every redraw. The traces' layer is then redrawn alone, over the rest as it stood.
    m_chart->layer(QStringLiteral("cursor"))->setMode(running ? QCPLayer::lmLogical : QCPLayer::lmBuffered);
    m_chart->setLiveLayer(running ? m_chart->layer(QStringLiteral("main")) : nullptr);
}

void TGraphChart::RealTimeStart3Execute()
{
    // Refused while another exchange holds the line: nothing is cleared, nothing sent.
    if (m_runGate && !m_runGate(true))
        return;
    auto release = qScopeGuard([this] {
        if (m_runGate)
            m_runGate(false);
    });
    Clear1Click();
    const QString text = m_timeSetup->Edit1->text();
    double width;
    if (!parseLocaleDouble(text, &width)) {
        Dialogs::instance().error(notAFloatMessage(text), this);
        return;
    }
    // Undone before the width is applied: a saved view would otherwise put its own width back.
    m_nav.undoZoom();
    // Narrower than one sample, the window could show no point at all.
    m_nav.axes.time = AxisRange::rule(0, std::max(width, 1.0));
    applyAxes();
    m_runLogs = false;
    if (Dialogs::instance().question(QStringLiteral("Do you want to log to a file?"), this)) {
        Dialogs::FileRequest request = saveRequest();
        const QString chosen = Dialogs::instance().saveFile(request, this);
        if (!chosen.isEmpty()) {
            QString error;
            if (m_liveFrames.log().open(GraphFiles::savedName(chosen, request.filterIndex), &error) !=
                LiveLog::Opened::Yes) {
                Dialogs::instance().error(error, this);
                return;
            }
            m_runLogs = true;
        }
    }
    release.dismiss();
    // Start goes off first, so that a second click while the input drains starts nothing.
    setRunCommands(true);
    m_lostFrames->show();
    m_frameRate->setText(QString());
    m_frameRate->show();
    placePanel();  // the counter may need the second row
    m_liveFrames.beginRun();
    m_poll->start();
    m_rateClock.start();
    m_rateFrames = 0;
    setRunActive(true);
}

void TGraphChart::RealTimeStop3Execute()
{
    const bool running = m_poll->active();
    m_poll->stop();
    if (running)  // seconds between the cursors are this run's own pace
        emit runStopped(m_poll->secondsPerFrame());
    setRunCommands(false);
    setRunActive(false);
    if (running) {
        // the whole run's rate, where the last second's stood
        if (const double s = m_poll->secondsPerFrame(); s > 0)
            m_frameRate->setText(QStringLiteral("%1 frames/s").arg(1 / s, 0, 'f', 1));
        m_runEndRevision = m_channels.revision();
    }
    updateWholeRun();
    if (running && m_runGate)
        m_runGate(false);
}

double TGraphChart::liveSecondsPerFrame() const { return m_poll->secondsPerFrame(); }

void TGraphChart::WholeRun3Execute()
{
    if (m_poll->active() || m_liveFrames.keptFrames() == 0)
        return;
    m_nav.undoZoom();
    m_liveFrames.showWholeRun();
    m_runEndRevision = m_channels.revision();
    emit runStopped(m_poll->secondsPerFrame());  // the channels hold the run: its pace holds
    applyAxes();
}

void TGraphChart::updateWholeRun()
{
    // Only while the channels still hold what the run left: an upload or a file replaces it.
    if (!m_wholeRun || !m_lostFrames)
        return;  // the window is still being built
    const bool can = !m_poll->active() && m_liveFrames.keptFrames() > 0 && m_channels.revision() == m_runEndRevision;
    m_wholeRun->setEnabled(can);
    // The counters speak of the run: not of an upload or a file shown after it.
    if (!can && !m_poll->active() && !m_lostFrames->isHidden()) {
        m_lostFrames->hide();
        m_frameRate->hide();
        placePanel();
    }
}

bool TGraphChart::stopForLostPort(const QString &portName)
{
    if (!m_poll->active())
        return false;
    RealTimeStop3Execute();
    const QString what = m_runLogs ? QStringLiteral("%1 frames logged").arg(m_liveFrames.log().records())
                                   : QStringLiteral("%1 frames received, none logged").arg(m_poll->framesReceived());
    Dialogs::instance().error(QStringLiteral("%1 was lost: the live run stopped; %2").arg(portName, what), this);
    return true;
}

bool TGraphChart::setupDialogVisible() const
{
    return std::any_of(m_setups.begin(), m_setups.end(), [](const QDialog *d) { return d->isVisible(); });
}

void TGraphChart::liveFrame(const std::array<quint8, 6> &frame)
{
    QString error;
    if (!m_poll->frame(frame, &error))
        Dialogs::instance().error(error, this);
    if (!m_poll->active())  // an answer after Stop is still the run's
        m_runEndRevision = m_channels.revision();
    // The readouts follow with the chart: a repaint of the panel for each of 116 frames a
    // second cost more than the chart's own redraws.
    m_lastFrame = frame;
    m_readoutsDue = true;
    if (!m_redraw->isActive())
        m_redraw->start();
}

void TGraphChart::showLastFrame()
{
    if (!m_readoutsDue)
        return;
    m_readoutsDue = false;
    for (int b = 0; b < RecordSize; ++b) {
        // A text set anew is laid out anew, though most frames repeat most values.
        QLineEdit *box = readout(RecordLayout[size_t(b)].trace);
        const QString text = QString::number(recordValue(m_lastFrame.data(), b));
        if (box->text() != text)
            box->setText(text);
    }
    m_framesShown = true;
    emit liveFrameShown(m_lastFrame);
}

void TGraphChart::redrawLive()
{
    showLastFrame();
    applyTimeAxis();
    if (m_rateClock.elapsed() >= 1000)
        showFrameRate();
}

void TGraphChart::showFrameRate()
{
    // frames over the last second or so, as the user would count them
    const quint64 frames = m_poll->framesReceived();
    const double seconds = double(m_rateClock.restart()) / 1000;
    if (seconds > 0)
        m_frameRate->setText(QStringLiteral("%1 frames/s").arg(double(frames - m_rateFrames) / seconds, 0, 'f', 1));
    m_rateFrames = frames;
}
