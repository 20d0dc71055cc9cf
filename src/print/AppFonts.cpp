#include "print/AppFonts.h"

#include <QDir>
#include <QFontDatabase>

namespace {

// Where Debian's fonts-wine puts its faces.
constexpr char WineFonts[] = "/usr/share/wine/fonts";
constexpr const char *WineFaces[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

}  // namespace

void registerAppFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QDir folder(QString::fromLatin1(WineFonts));
    for (const char *face : WineFaces) {
        const QString path = folder.filePath(QString::fromLatin1(face));
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    // fontconfig usually maps these already; a desktop without its metric aliases still gets them.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitutions(QStringLiteral("Georgia"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
}

QFont windowsFont(const QString &family, int pixelSize)
{
    registerAppFonts();
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}
