#include "settings/PageHistory.h"

void PageHistory::reset(const PageValues &now)
{
    m_steps = {Step{now, nullptr}};
    m_position = 0;
    m_mergeable = false;
}

bool PageHistory::record(const PageValues &now, const void *typingIn)
{
    if (now == current())
        return false;
    m_steps.resize(m_position + 1);  // a change after an undo ends the redo branch
    if (typingIn && m_mergeable && m_steps.last().typingIn == typingIn) {
        m_steps.last().values = now;
        return true;
    }
    m_steps.append(Step{now, typingIn});
    if (m_steps.size() > MaxSteps)
        m_steps.removeFirst();
    m_position = m_steps.size() - 1;
    m_mergeable = typingIn != nullptr;
    return true;
}

const PageValues *PageHistory::undo()
{
    if (!canUndo())
        return nullptr;
    m_mergeable = false;
    return &m_steps.at(--m_position).values;
}

const PageValues *PageHistory::redo()
{
    if (!canRedo())
        return nullptr;
    m_mergeable = false;
    return &m_steps.at(++m_position).values;
}
