#include "link/TractionLink.h"

#include "link/LinkHost.h"

TractionLink::TractionLink(LinkHost &host, QObject *parent)
    : QObject(parent),
      m_waits(m_comm1),
      m_parser(m_state, m_comm1, m_waits, host),
      m_sequences(m_state, m_comm1, m_waits, host),
      m_outputTest(m_state, m_comm1, m_waits, host, m_sequences),
      m_logger(m_state, m_comm1, m_waits, host, m_sequences)
{
    m_comm1.setHandler([this](int count) { m_parser.Comm1RxChar(count); });
    m_comm1.setGatherWhile([&host] { return host.terminalVisible(); });
    connect(&m_comm1, &SerialDevice::opened, this, [this] { m_state.UnitImage.reset(); });
}

TractionLink::~TractionLink()
{
    m_waits.abort();
    m_comm1.setHandler(nullptr);
    m_comm1.setGatherWhile(nullptr);
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
