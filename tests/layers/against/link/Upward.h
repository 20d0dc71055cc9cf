#pragma once

// An include against the order inside the core: the check must name it.
#include "graph/Channels.h"
