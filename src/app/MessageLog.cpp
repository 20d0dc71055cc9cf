#include "app/MessageLog.h"

void MessageLog::add(const QString &text, bool isError, const QString &reason)
{
    if (m_entries.size() >= Kept)
        m_entries.removeFirst();
    m_entries.append({QDateTime::currentDateTime(), text, reason, isError});
    emit added(m_entries.constLast());
}
