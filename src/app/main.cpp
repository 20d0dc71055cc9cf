#include "app/Main.h"
#include "platform/ManualLocation.h"
#include "platform/ProgramVersion.h"
#include "platform/RegistryRoutinesUnit.h"
#include "print/AppFonts.h"
#include "widgets/AppIcons.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// "--version" and "--help" answer on the console without opening a window; the help says where
// the manual was found, which is how an installed copy shows that it finds it.
int consoleAnswer(int argc, char *argv[], const char *option)
{
    QCoreApplication app(argc, argv);
    const QByteArray version = ProgramVersion::current().text().toUtf8();
    if (std::strcmp(option, "--version") == 0) {
        std::printf("traction %s\n", version.constData());
        return 0;
    }
    const QString manual = ManualLocation::find();
    std::printf("usage: traction [--version | --help | FILE]\n\n"
                "The Veltorane traction control program %s: reads, edits and writes the unit's settings, plots\n"
                "its live data and its data logger. tractionctl does the same from the command line.\n"
                "FILE, a settings file (.dat or .tra), is opened as File, Open does.\n\n"
                "Manual: %s\n",
                version.constData(),
                manual.isEmpty() ? qPrintable(QStringLiteral("not found (looked at %1)")
                                                  .arg(ManualLocation::candidates().join(QStringLiteral(", "))))
                                 : qPrintable(manual));
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"--version", "--help", "-h"})
            if (std::strcmp(argv[i], option) == 0)
                return consoleAnswer(argc, argv, option);
    QApplication app(argc, argv);
    registerAppFonts();
    QApplication::setApplicationName(QLatin1String(ApplicationTitle));
    QApplication::setWindowIcon(appIcon("", "veltorane-traction"));
    QGuiApplication::setDesktopFileName(QStringLiteral("veltorane-traction"));
    TRegistryRoutines options(TRegistryRoutines::defaultFolder());
    TForm1 form1(options);
    form1.show();
    // A file handed over by the desktop (the entry's %f) or the shell.
    const QStringList files = app.arguments().mid(1);
    if (!files.isEmpty())
        QTimer::singleShot(0, &form1, [&form1, file = files.first()] { form1.openSettingsFile(file); });
    return app.exec();
}
