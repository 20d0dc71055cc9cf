#pragma once

// The window itself: its own files may include it.
