#pragma once

#include <QFont>

// The program's texts were laid out for Windows faces (Tahoma, MS Sans Serif, Arial, Courier New,
// Georgia). QtGui alone, so that the command-line tool prints with the window's faces.
// Faces with the same widths stand in for them: Debian's Wine faces, kept in a folder fontconfig
// does not read, are registered with the application; Liberation stands in for Arial, Courier New
// and Georgia.

// Registers the stand-in faces once; later calls do nothing. Needs the application object.
void registerAppFonts();

// A font of the named Windows face at a size in pixels, its stand-in registered first.
QFont windowsFont(const QString &family, int pixelSize);
