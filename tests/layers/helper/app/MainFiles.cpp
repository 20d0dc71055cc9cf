// Members of the window, no header of its own: allowed, and the check must not name it.
#include "app/Main.h"
