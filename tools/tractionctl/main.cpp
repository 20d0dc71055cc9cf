// tractionctl: settings and graph files from the command line, through the same core code as the program.
#include "GraphCommands.h"
#include "LoggerCommands.h"
#include "PrintCommand.h"
#include "TerminalCommands.h"
#include "MonitorCommand.h"
#include "link/ConsoleLinkHost.h"
#include "settings/PageValues.h"
#include "settings/SettingsFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <functional>

namespace
{

enum Exit { Done = 0, Failed = 1, Usage = 2 };

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int fail(const char *message, const QString &file, const QString &reason)
{
    err() << message << '\n' << "  " << file << ": " << reason << Qt::endl;
    return Failed;
}

// A settings file by its extension: ".dat" as the image, ".tra" converted into the default image.
bool load(const QString &file, SettingsImage &image)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    SettingsImage loaded = SettingsImage::defaults();
    QString error;
    bool ok = false;
    if (suffix == u"dat")
        ok = readDatFile(file, loaded, &error);
    else if (suffix == u"tra")
        ok = ConvertTraFile(file, TraFileSize, loaded, &error);
    else
        error = QStringLiteral("neither a .dat nor a .tra file");
    if (!ok) {
        fail(LoadFailedMessage, file, error);
        return false;
    }
    image = loaded;
    return true;
}

PageValues shownFrom(const SettingsImage &image)
{
    PageValues pages;
    pages.fill(image);
    return pages;
}

int show(const QStringList &args)
{
    const bool json = args.contains(u"--json");
    QStringList rest = args;
    rest.removeAll(QStringLiteral("--json"));
    if (rest.size() != 1)
        return Usage;
    SettingsImage image;
    if (rest[0] != u"--default" && !load(rest[0], image))
        return Failed;
    const auto lines = shownFrom(image).shown();
    if (json) {
        QJsonObject obj;
        for (const auto &l : lines) {
            if (l.kind == PageValues::Shown::Check)
                obj.insert(l.control, l.text == u"true");
            else
                obj.insert(l.control, l.text);
        }
        out() << QJsonDocument(obj).toJson(QJsonDocument::Indented);
        return Done;
    }
    for (const auto &l : lines)
        out() << qSetFieldWidth(36) << Qt::left << l.control << qSetFieldWidth(9) << l.offsets
              << qSetFieldWidth(0) << l.text << (l.unit.isEmpty() ? QString() : u' ' + l.unit) << '\n';
    return Done;
}

int convert(const QStringList &args)
{
    QStringList rest = args;
    QString base;
    if (const int i = rest.indexOf(u"--base"); i >= 0) {
        if (i + 1 >= rest.size())
            return Usage;
        base = rest[i + 1];
        rest.remove(i, 2);
    }
    if (rest.size() != 2)
        return Usage;
    SettingsImage image;
    QString error;
    if (!base.isEmpty() && !readDatFile(base, image, &error))
        return fail(LoadFailedMessage, base, error);
    if (!ConvertTraFile(rest[0], TraFileSize, image, &error))
        return fail(LoadFailedMessage, rest[0], error);
    if (!saveDatFile(rest[1], image, &error)) {
        if (error == QLatin1String(BackupFailedMessage))
            return fail(BackupFailedMessage, backupFileName(rest[1]), QStringLiteral("could not rename the file to it"));
        return fail("File failed to save", rest[1], error);
    }
    return Done;
}

int diff(const QStringList &args)
{
    if (args.size() != 2)
        return Usage;
    SettingsImage a, b;
    if (!load(args[0], a) || !load(args[1], b))
        return Failed;
    const auto left = shownFrom(a).shown(), right = shownFrom(b).shown();
    int differ = 0;
    for (qsizetype i = 0; i < left.size() && i < right.size(); ++i) {
        if (left[i].text == right[i].text)
            continue;
        out() << left[i].control << ": " << left[i].text << " | " << right[i].text << '\n';
        ++differ;
    }
    return differ == 0 ? Done : Failed;
}

int check(const QStringList &args)
{
    if (args.size() != 1)
        return Usage;
    SettingsImage image;
    if (!load(args[0], image))
        return Failed;
    // What the pages would write back, untouched by the user.
    SettingsImage back = image;
    if (const auto error = shownFrom(image).copyTo(back)) {
        err() << *error << Qt::endl;
        return Failed;
    }
    int changed = 0;
    for (int i = 0; i < SettingsImage::Size; ++i) {
        if (image.byte(i) == back.byte(i))
            continue;
        out() << QStringLiteral("%1: %2 -> %3\n")
                     .arg(i, 3)
                     .arg(image.byte(i), 2, 16, QLatin1Char('0'))
                     .arg(back.byte(i), 2, 16, QLatin1Char('0'))
                     .toUpper();
        ++changed;
    }
    return changed == 0 ? Done : Failed;
}

using LinkCommands::takePort;

int version(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takePort(rest);
    if (port.isEmpty() || !rest.isEmpty())
        return Usage;
    return LinkCommands::version(port);
}

int read(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takePort(rest);
    if (port.isEmpty() || rest.size() != 1)
        return Usage;
    const QString file = rest[0];
    return LinkCommands::read(port, [&file](const SettingsImage &image, QString *error) {
        if (saveDatFile(file, image, error))
            return true;
        if (*error != QLatin1String(BackupFailedMessage))
            *error = QStringLiteral("File failed to save\n  %1: %2").arg(file, *error);
        return false;
    });
}

int write(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takePort(rest);
    if (port.isEmpty() || rest.size() != 1)
        return Usage;
    SettingsImage image;
    if (rest[0] != u"--default" && !load(rest[0], image))
        return Failed;
    return LinkCommands::write(port, image);
}

struct Command {
    const char *name;
    const char *usage;
    std::function<int(const QStringList &)> run;
};

const Command Commands[] = {
    {"show", "show FILE|--default [--json]", show},
    {"convert", "convert IN.tra OUT.dat [--base IMAGE.dat]", convert},
    {"diff", "diff A B", diff},
    {"check", "check FILE", check},
    {"graph", GraphCommands::Usage, GraphCommands::run},
    {"print", PrintCommand::Usage, [](const QStringList &args) { return PrintCommand::run(args, load); }},
    {"version", "version --port DEV|COMn", version},
    {"read", "read OUT.dat --port DEV|COMn", read},
    {"write", "write IN.dat|IN.tra|--default --port DEV|COMn", write},
    {"test", TerminalCommands::TestUsage, TerminalCommands::test},
    {"terminal", TerminalCommands::TerminalUsage, TerminalCommands::terminal},
    {"monitor", MonitorCommand::Usage, MonitorCommand::run},
    {"log-upload", LoggerCommands::UploadUsage, LoggerCommands::upload},
    {"log-clear", LoggerCommands::ClearUsage, LoggerCommands::clear},
};

int usage(const Command *only = nullptr)
{
    for (const Command &c : Commands)
        if (!only || only == &c)
            err() << "usage: tractionctl " << c.usage << '\n';
    err().flush();
    return Usage;
}

} // namespace

int main(int argc, char *argv[])
{
    const auto app = PrintCommand::application(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString name = args.takeFirst();
    for (const Command &c : Commands) {
        if (name == QLatin1String(c.name)) {
            const int status = c.run(args);
            out().flush();
            return status == Usage ? usage(&c) : status;
        }
    }
    return usage();
}
