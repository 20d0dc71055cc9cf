// A helper that reaches back into the whole window: the check must name it.
#include "app/MainChore.h"
#include "app/Main.h"
