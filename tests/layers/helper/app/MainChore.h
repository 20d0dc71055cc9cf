#pragma once

// A helper of the window: it is handed what it uses.
