#pragma once

// Below the link and above the platform: allowed, and the check must not name it.
#include "platform/OsInfo.h"
