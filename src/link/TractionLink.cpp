#include "link/TractionLink.h"

#include "link/LinkHost.h"

#include <QScopeGuard>

TractionLink::TractionLink(LinkHost &host, QObject *parent)
    : QObject(parent), m_waits(m_comm1), m_parser(m_state, m_comm1, m_waits, host),
      m_sequences(m_state, m_comm1, m_waits, host), m_outputTest(m_state, m_comm1, m_waits, host, m_sequences),
      m_logger(m_state, m_comm1, m_waits, host, m_sequences)
{
    m_comm1.setHandler([this](int count) { m_parser.Comm1RxChar(count); });
    m_comm1.setGatherWhile([&host] { return host.terminalVisible(); });
    connect(&m_comm1, &SerialDevice::opened, this, [this] { m_state.UnitImage.reset(); });
    m_stopBound.setSingleShot(true);
    connect(&m_stopBound, &QTimer::timeout, this, [this] { m_waits.abort(); });
}

TractionLink::~TractionLink()
{
    *m_alive = false;
    m_waits.abort();
    m_comm1.setHandler(nullptr);
    m_comm1.setGatherWhile(nullptr);
}

bool TractionLink::guarded(Exchange exchange, const std::function<bool()> &body)
{
    if (m_deferred || m_waits.aborted()) {
        m_guard.free(exchange);  // says who was refused
        return false;
    }
    if (!m_guard.begin(exchange))
        return false;
    // The link may be gone when the body returns (the window closed during one of its waits).
    const std::shared_ptr<bool> alive = m_alive;
    const auto end = qScopeGuard([this, alive] {
        if (*alive)
            exchangeEnded();
    });
    return body();
}

bool TractionLink::beginLiveRun()
{
    if (m_deferred || m_waits.aborted()) {
        m_guard.free(Exchange::LiveRun);
        return false;
    }
    if (!m_guard.begin(Exchange::LiveRun))
        return false;
    m_comm1.setWakeThreshold(int(std::tuple_size_v<decltype(LinkState::LiveFrame)>));
    return true;
}

bool TractionLink::sendLiveRequest(quint8 request)
{
    if (!m_comm1.SendChar(request))
        return false;
    m_comm1.awaitAnswer(int(std::tuple_size_v<decltype(LinkState::LiveFrame)>));
    return true;
}

void TractionLink::endLiveRun()
{
    if (m_guard.current() != Exchange::LiveRun)
        return;
    m_comm1.listenNow();
    m_comm1.setWakeThreshold(1);
    exchangeEnded();
}

void TractionLink::exchangeEnded()
{
    m_state.StopRequested = false;
    m_stopBound.stop();
    m_guard.end();
}

bool TractionLink::whenFree(Exchange exchange, std::function<void()> work)
{
    if (m_deferred || !m_guard.free(exchange))
        return false;
    if (!m_comm1.inHandler()) {
        work();
        return true;
    }
    m_deferred = true;
    m_comm1.afterHandler([this, work = std::move(work)] {
        m_deferred = false;
        work();
    });
    return true;
}

void TractionLink::requestStop(int hardBoundMs)
{
    if (!m_guard.running())
        return;
    m_state.StopRequested = true;
    if (hardBoundMs >= 0 && !m_stopBound.isActive())
        m_stopBound.start(hardBoundMs);
    if (m_guard.current() == Exchange::LiveRun)
        emit liveRunStopRequested();
}

void TractionLink::shutdown()
{
    try {
        m_waits.DrainInput();
    } catch (const LinkAborted &) {
    }
    m_waits.abort();
    m_comm1.close();
    emit closedForGood();
}
