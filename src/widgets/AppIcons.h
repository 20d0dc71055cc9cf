#pragma once

#include <QIcon>

// The desktop theme's icon where the theme has one of that name, else the picture shipped
// with the program (":/widgets/icons/<file>.svg").
QIcon appIcon(const char *themeName, const char *shippedFile);
