#include "app/Main.h"
#include "platform/RegistryRoutinesUnit.h"
#include "print/AppFonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    registerAppFonts();
    QApplication::setApplicationName(QLatin1String(ApplicationTitle));
    TForm1 form1;
    form1.show();
    return app.exec();
}
