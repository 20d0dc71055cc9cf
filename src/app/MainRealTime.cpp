#include "app/Main.h"

#include "graph/ui/GraphForm.h"

// The receive handler's real-time path belongs to the graph window while it is shown and none of
// its setup dialogs is.
bool TForm1::realTimeVisible() const { return m_graph && m_graph->isVisible() && !m_graph->setupDialogVisible(); }

void TForm1::liveFrame(const std::array<quint8, 6> &frame) { m_graph->liveFrame(frame); }

void TForm1::liveTextSkipped() { m_graph->realTime().textSkipped(); }
