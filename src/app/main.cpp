#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltorane Traction Control Software"));
    QApplication::setApplicationDisplayName(QStringLiteral("Veltorane Traction Control Software"));
    QMainWindow window;
    window.show();
    return app.exec();
}
