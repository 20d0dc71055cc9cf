// tractionctl: settings and graph files from the command line, through the same core code as the program.
#include "CompareCommand.h"
#include "GraphCommands.h"
#include "HistoryCommand.h"
#include "Help.h"
#include "LoggerCommands.h"
#include "PrintCommand.h"
#include "RunsCommand.h"
#include "TerminalCommands.h"
#include "MonitorCommand.h"
#include "ToolKit.h"
#include "link/ConsoleLinkHost.h"
#include "platform/ProgramVersion.h"
#include "settings/PageValues.h"
#include "settings/Plausibility.h"
#include "settings/SettingsFileLoader.h"
#include "settings/SettingsFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace {

using namespace Tool;

// A settings file by its extension, as File, Open loads it; a ".tra" is converted into the defaults.
bool load(const QString &file, SettingsImage &image)
{
    SettingsImage loaded = SettingsImage::defaults();
    const SettingsFileLoad result = SettingsFileLoad::load(file, loaded);
    if (!result.loaded) {
        fail(QLatin1String(LoadFailedMessage), file, result.reason);
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

// "--flag" taken out of args; whether it was there.
bool takeFlag(QStringList &args, const char *flag) { return args.removeAll(QLatin1String(flag)) > 0; }

// A value as the page shows it, its unit beside it; --names keeps the check boxes' true/false.
QString shownValue(const PageValues::Shown &l, bool names)
{
    QString text = l.text;
    if (!names && l.kind == PageValues::Shown::Check)
        text = l.text == u"true" ? QStringLiteral("yes") : QStringLiteral("no");
    return l.unit.isEmpty() ? text : text + u' ' + l.unit;
}

// Page by page as the tabs run, each group's lines together in the order the table first names them.
QList<PageValues::Shown> inPageOrder(QList<PageValues::Shown> lines)
{
    const auto sheetOf = [](const QString &page) {
        int i = 0;
        while (Sheet(i) != Sheet::None && page != QLatin1String(sheetCaption(Sheet(i))))
            ++i;
        return i;
    };
    const auto groupOf = [](const PageValues::Shown &l) { return l.page + u'|' + l.label.section(u':', 0, 0); };
    QStringList groups;
    for (const auto &l : lines)
        if (!groups.contains(groupOf(l)))
            groups.append(groupOf(l));
    std::stable_sort(lines.begin(), lines.end(), [&](const auto &a, const auto &b) {
        return std::pair(sheetOf(a.page), groups.indexOf(groupOf(a))) <
               std::pair(sheetOf(b.page), groups.indexOf(groupOf(b)));
    });
    return lines;
}

// Page and label in columns as wide as their widest entry, so that the values line up; or,
// with --names, the control and the image offsets it stands for.
struct Columns {
    bool names;
    int first = 0, second = 0;
    Columns(const QList<PageValues::Shown> &lines, bool names) : names(names)
    {
        for (const auto &l : lines) {
            first = qMax(first, int((names ? l.control : l.page).size()));
            second = qMax(second, int((names ? l.offsets : l.label).size()));
        }
        first += 2;
        second += 2;
    }
    void print(const PageValues::Shown &l) const
    {
        if (names)
            out() << qSetFieldWidth(36) << Qt::left << l.control << qSetFieldWidth(9) << l.offsets;
        else
            out() << qSetFieldWidth(first) << Qt::left << l.page << qSetFieldWidth(second) << l.label;
        out() << qSetFieldWidth(0);
    }
};

void printSettings(QList<PageValues::Shown> lines, bool names)
{
    if (!names)
        lines = inPageOrder(lines);
    const Columns columns(lines, names);
    for (const auto &l : lines) {
        columns.print(l);
        out() << shownValue(l, names) << '\n';
    }
    out().flush();
}

int show(const QStringList &args)
{
    QStringList rest = args;
    const bool json = takeFlag(rest, "--json");
    const bool names = takeFlag(rest, "--names");
    if (rest.size() != 1)
        return UsageError;
    SettingsImage image;
    if (rest[0] != u"--default" && !load(rest[0], image))
        return Failed;
    auto lines = shownFrom(image).shown();
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
    printSettings(lines, names);
    return Done;
}

int convert(const QStringList &args)
{
    QStringList rest = args;
    QString base;
    if (const int i = rest.indexOf(u"--base"); i >= 0) {
        if (i + 1 >= rest.size())
            return UsageError;
        base = rest[i + 1];
        rest.remove(i, 2);
    }
    if (rest.size() != 2)
        return UsageError;
    SettingsImage image;
    QString error;
    if (!base.isEmpty() && !readDatFile(base, image, &error))
        return fail(QLatin1String(LoadFailedMessage), base, error);
    if (!ConvertTraFile(rest[0], TraFileSize, image, &error))
        return fail(QLatin1String(LoadFailedMessage), rest[0], error);
    return saveSettings(rest[1], image);
}

int diff(const QStringList &args)
{
    QStringList rest = args;
    const bool names = takeFlag(rest, "--names");
    if (rest.size() != 2)
        return UsageError;
    SettingsImage a, b;
    if (!load(rest[0], a) || !load(rest[1], b))
        return Failed;
    auto left = shownFrom(a).shown(), right = shownFrom(b).shown();
    if (!names) {
        left = inPageOrder(left);
        right = inPageOrder(right);
    }
    QList<PageValues::Shown> before, after;  // the lines that differ
    for (qsizetype i = 0; i < left.size() && i < right.size(); ++i) {
        if (left[i].text != right[i].text) {
            before.append(left[i]);
            after.append(right[i]);
        }
    }
    const Columns columns(before, false);
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (names) {
            out() << before[i].control << ": " << before[i].text << " | " << after[i].text << '\n';
            continue;
        }
        columns.print(before[i]);
        out() << shownValue(before[i], false) << " | " << shownValue(after[i], false) << '\n';
    }
    return before.isEmpty() ? Done : Failed;
}

int check(const QStringList &args)
{
    if (args.size() != 1)
        return UsageError;
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
    // And the values their fields cannot hold, as the window warns of them after a load.
    const QList<Implausible> implausible = checkPlausibility(image);
    for (const Implausible &value : implausible)
        out() << value.line() << '\n';
    return changed == 0 && implausible.isEmpty() ? Done : Failed;
}

using LinkCommands::takePort;

int version(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takePort(rest);
    if (port.isEmpty() || !rest.isEmpty())
        return UsageError;
    return LinkCommands::version(port, ports());
}

int read(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takePort(rest);
    const bool check = !takeFlag(rest, "--no-check");
    if (port.isEmpty() || rest.size() != 1)
        return UsageError;
    const QString file = rest[0];
    const auto save = [&file](const SettingsImage &image, QString *error) {
        if (saveDatFile(file, image, error))
            return true;
        *error = saveFailure(file, *error);
        return false;
    };
    return LinkCommands::read(port, ports(), save, check);
}

int write(const QStringList &args)
{
    QStringList rest = args;
    const QString port = takePort(rest);
    const bool verify = !takeFlag(rest, "--no-verify");
    const bool check = !takeFlag(rest, "--no-check");
    if (port.isEmpty() || rest.size() != 1)
        return UsageError;
    SettingsImage image;
    if (rest[0] != u"--default" && !load(rest[0], image))
        return Failed;
    return LinkCommands::write(port, ports(), image, verify, check);
}

int help(const QStringList &args);

// clang-format off
const HelpEntry Commands[] = {
    {"show", "show FILE|--default [--json] [--names]",
     "Prints the settings of a .dat or .tra file, or the defaults, as the pages show them: page, label, value and unit.",
     "--names prints each control's name and the image offsets it stands for instead of page and label; --json "
     "prints one object keyed by the control names. A .tra file is shown converted into the default settings.", show},
    {"convert", "convert IN.tra OUT.dat [--base IMAGE.dat]", "Converts a .tra file into a .dat settings file.",
     "The bytes a .tra file has no word for come from IMAGE.dat, or else from the defaults. An OUT.dat that "
     "exists is kept as OUT.BAK.", convert},
    {"diff", "diff A B [--names]",
     "Prints the settings that differ between two settings files: page, label, A's value | B's value.",
     "--names names the controls instead. The exit status is 1 when any differ.", diff},
    {"check", "check FILE",
     "Prints the bytes the pages would change if FILE were loaded and written back untouched (offset: old -> "
     "new), then the values its fields cannot hold (page / label: value (rule)); the exit status is 1 when "
     "there is either.",
     "The values checked: cut cells are \"0\" or \"1\", on/off settings 00 or FF, the sample rate code is "
     "below 48, wheel diameters and pulses are not zero, and each value fits its box on the pages.", check},
    {"graph", GraphCommands::Usage,
     "Exports the points of a DOS graph file or a logged-data file as CSV, prints what it holds, or prints the "
     "run's statistics: wheel peaks, slip against the Assert at values, samples cut at each level, peak revs, 0-100 km/h.",
     "response prints the slip response: the share of each slip band's samples (cut at the three Assert at values) "
     "at each cut level 0-6, and the median and 90th-percentile delay from slip crossing each threshold to the cut "
     "level reaching that sequence. --slip adds the slip of the driven wheels as a last column. The slip's wheels, "
     "thresholds and the seconds a sample stands for (the logger's sample rate) come from the settings file given, "
     "else from the record of a kept run beside the file, else from the defaults; --driven picks the driven axle "
     "(rear by default); --from and --to limit it to the samples between two times.",
     [](const QStringList &args) { return GraphCommands::run(args, load); }},
    {"print", PrintCommand::Usage, "Writes the settings page the program prints into a PDF file.",
     "--version gives the unit's firmware version printed on the page.",
     [](const QStringList &args) { return PrintCommand::run(args, load); }},
    {"version", "version --port DEV|COMn", "Prints the unit's firmware version.", "", version},
    {"read", "read OUT.dat --port DEV|COMn [--progress] [--no-check]", "Reads the unit's settings into a .dat file.",
     "An OUT.dat that exists is kept as OUT.BAK; nothing is written unless the whole image came. The image is "
     "read twice and taken only when both reads agree (a third decides when they differ); --no-check reads it "
     "once.", read},
    {"write", "write IN.dat|IN.tra|--default --port DEV|COMn [--progress] [--no-verify] [--no-check]",
     "Writes the settings of a file, or the defaults, into the unit.",
     "The unit's settings are then read back (twice, as read does, unless --no-check) and compared byte for "
     "byte; the exit status is 1 when they differ, and the settings that do are listed. --no-verify leaves the "
     "read-back out.", write},
    {"compare", CompareCommand::Usage, "Prints what writing a settings file would change in the unit.",
     "Reads the unit and lists every setting in which the file differs from it: page, label, the unit's "
     "value -> the file's. The exit status is 1 when any differs; the unit is only read.",
     [](const QStringList &args) { return CompareCommand::run(args, load); }},
    {"test", TerminalCommands::TestUsage,
     "Runs the misfire test: the unit cuts sparks in the chosen pattern for the chosen time.",
     "--type and --time take the texts of the Test page's lists (a wrong one lists the right ones); without "
     "them the page's first entries.", TerminalCommands::test},
    {"terminal", TerminalCommands::TerminalUsage,
     "Talks to the unit's own text menu from the keyboard, as the program's terminal does; Ctrl+] ends it.", "",
     TerminalCommands::terminal},
    {"monitor", MonitorCommand::Usage, "Prints the unit's live frames, one line per frame.",
     "--frames ends after N frames (otherwise Ctrl+C ends it); --log also writes them into a DOS graph file, "
     "and keeps the run in the runs library with the unit's settings and version read right after the run "
     "(--no-keep keeps nothing, --no-settings reads nothing and records \"settings unknown\"). The frames received and lost follow on standard error.", MonitorCommand::run},
    {"log-upload", LoggerCommands::UploadUsage,
     "Copies the unit's data logger memory (128 KB, about 68 seconds) into a DOS graph file, CSV points or the "
     "memory's raw bytes, by the file's extension.",
     "The run is also kept in the runs library, with the unit's settings and version read right after the "
     "upload; --no-keep keeps nothing, --no-settings reads nothing and records \"settings unknown\". A run "
     "that cannot be kept is reported and fails nothing.", LoggerCommands::upload},
    {"runs", RunsCommand::Usage,
     "Lists the runs kept from logger uploads and logged live runs (newest first, * pinned), shows one, exports "
     "one, pins, notes or deletes one, or compares two.",
     "The library is ~/.config/Veltorane/runs/ or the folder chosen in the program's Options; it keeps the "
     "newest 200 runs that are not pinned. compare prints the older run and the newer side by side, aligned at "
     "their first launch, with the difference, then the settings changed between them (page, label, before -> "
     "after); --json prints the same as one object. export writes the run's DOS graph file or its points as CSV, "
     "by the extension.", RunsCommand::run},
    {"log-clear", LoggerCommands::ClearUsage, "Empties the unit's data logger memory.", "", LoggerCommands::clear},
    {"history", HistoryCommand::Usage,
     "Lists the tunes the program kept from its reads, writes and saves (newest first), shows one, or writes "
     "one into a .dat settings file.",
     "show prints when and how it was kept and the unit's version, then its settings as show does. An OUT.dat "
     "that exists is kept as OUT.BAK.",
     [](const QStringList &args) {
         return HistoryCommand::run(args, [](const SettingsImage &image) { printSettings(shownFrom(image).shown(), false); });
     }},
    {"help", "help [COMMAND]", "Prints the help of one command, or of all.", "", help},
};
// clang-format on

const HelpEntry *find(const QString &name)
{
    for (const HelpEntry &c : Commands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

int usage(const HelpEntry *only = nullptr)
{
    err() << Help::usage(only ? std::span(only, 1) : std::span(Commands));
    if (!only)
        err() << "Run \"tractionctl help COMMAND\" for one command's help, \"tractionctl --help\" for all.\n";
    err().flush();
    return UsageError;
}

int help(const QStringList &args)
{
    if (args.isEmpty()) {
        out() << Help::overview(Commands);
        return Done;
    }
    const HelpEntry *c = args.size() == 1 ? find(args[0]) : nullptr;
    if (!c) {
        if (args.size() == 1)
            err() << "tractionctl: no command \"" << args[0] << "\"" << Qt::endl;
        return UsageError;
    }
    out() << Help::command(*c);
    return Done;
}

// Written at build time for the package: "--man-page FILE", "--bash-completion FILE".
int generated(const QString &what, const QString &path)
{
    const QString text = what == u"--man-page" ? Help::manPage(Commands, ProgramVersion::current().text())
                                               : Help::bashCompletion(Commands);
    return saveWhole(path, text.toUtf8(), Backup::None);
}

// What needs no application object and no command.
std::optional<int> ownOption(const QStringList &args)
{
    if (args.isEmpty())
        return usage();
    const QString &first = args[0];
    if ((first == u"--help" || first == u"-h") && args.size() == 1)
        return help({});
    if (first == u"--version" && args.size() == 1) {
        out() << "tractionctl " << ProgramVersion::current().text() << Qt::endl;
        return Done;
    }
    if ((first == u"--man-page" || first == u"--bash-completion") && args.size() == 2)
        return generated(first, args[1]);
    return std::nullopt;
}

}  // namespace

int main(int argc, char *argv[])
{
    QStringList early;
    for (int i = 1; i < argc; ++i)
        early.append(QString::fromLocal8Bit(argv[i]));
    if (const auto status = ownOption(early))
        return *status;

    const auto app = PrintCommand::application(argc, argv);
    QStringList args = app->arguments().mid(1);
    const QString name = args.takeFirst();
    const HelpEntry *c = find(name);
    if (!c) {
        usage();
        err() << "tractionctl: no command \"" << name << "\"" << Qt::endl;
        return UsageError;
    }
    // Only the commands that talk to the unit at length have progress to show.
    if (Help::optionsOf(*c).contains(u"--progress"))
        ConsoleLinkHost::setProgressShown(args.removeAll(QStringLiteral("--progress")) > 0 || isatty(STDERR_FILENO));
    const int status = c->run(args);
    out().flush();
    return status == UsageError ? usage(c) : status;
}
