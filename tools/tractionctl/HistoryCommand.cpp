#include "HistoryCommand.h"
#include "ToolKit.h"

#include "settings/SettingsFiles.h"
#include "settings/TuneHistory.h"

#include <QTextStream>

namespace HistoryCommand {

namespace {

using namespace Tool;

int failed(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
    return Failed;
}

QString when(const TuneHistory::Entry &e)
{
    return e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int number(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : 0;
}

}  // namespace

int run(const QStringList &args, const PrintSettings &printSettings)
{
    const TuneHistory history = TuneHistory::inConfigFolder(Tool::options());
    const QString command = args.value(0);
    if (command == u"list" && args.size() == 1) {
        const QList<TuneHistory::Entry> entries = history.entries();
        for (qsizetype i = entries.size() - 1; i >= 0; --i) {
            const TuneHistory::Entry &e = entries[i];
            out() << qSetFieldWidth(4) << Qt::right << (entries.size() - i) << qSetFieldWidth(0) << "  " << when(e)
                  << "  " << qSetFieldWidth(24) << Qt::left << e.what() << qSetFieldWidth(0) << e.version << '\n';
        }
        return Done;
    }
    if ((command == u"show" && args.size() == 2) || (command == u"restore" && args.size() == 3)) {
        QString error;
        const auto entry = history.entry(number(args[1]), &error);
        if (!entry)
            return failed(error);
        if (command == u"show") {
            out() << "Time     " << when(*entry) << '\n'
                  << "Action   " << entry->what() << '\n'
                  << "Version  " << entry->version << '\n';
            if (!entry->detail.isEmpty())
                out() << (entry->event == TuneHistory::Event::Save ? "File     " : "Port     ") << entry->detail
                      << '\n';
            out() << '\n';
            out().flush();
            printSettings(entry->image);
            return Done;
        }
        return saveSettings(args[2], entry->image);
    }
    return UsageError;
}

}  // namespace HistoryCommand
