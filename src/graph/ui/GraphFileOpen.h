#pragma once

#include "graph/GraphFiles.h"

class QWidget;

// Opening a graph file in the graph window (its own run or an overlay): the same dialog, the same
// messages.
namespace GraphFileOpen {

// Asks for a graph file; empty when none was chosen.
QString ask(QWidget *parent);
// Loads it into 'channels', telling the user why when it did not load; a Windows file that holds
// nothing is passed over in silence. Nothing changes unless the result is Loaded.
GraphFiles::LoadResult load(const QString &path, Channels &channels, QWidget *parent);

}  // namespace GraphFileOpen
