#pragma once

#include "settings/PageValues.h"

#include <QList>

// The undo history of the settings pages: snapshots of everything the pages show, one per change.
// Snapshots rather than per-control commands, so every kind of control (and a set-all button
// changing twenty boxes at once) undoes the same way. Typing into one box is one step until
// another control changes.
class PageHistory {
public:
    // Steps kept; the oldest is dropped beyond it. A snapshot is a few kilobytes.
    static constexpr int MaxSteps = 500;

    // A new history starting at 'now' (after a read, a load or an import).
    void reset(const PageValues &now);
    // The pages changed to 'now'. 'typingIn' names the edit box being typed into, or null; a step
    // typed into the box of the step before replaces it. Returns false when nothing changed.
    bool record(const PageValues &now, const void *typingIn = nullptr);

    bool canUndo() const { return m_position > 0; }
    bool canRedo() const { return m_position + 1 < m_steps.size(); }
    // The snapshot to show; null when there is nothing to step to.
    const PageValues *undo();
    const PageValues *redo();
    const PageValues &current() const { return m_steps.at(m_position).values; }
    int steps() const { return int(m_steps.size()); }

private:
    struct Step {
        PageValues values;
        const void *typingIn = nullptr;
    };
    QList<Step> m_steps{Step{}};
    qsizetype m_position = 0;
    bool m_mergeable = false;  // the current step may take more typing into its box
};
