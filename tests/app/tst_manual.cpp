#include "TestOptions.h"
#include "ScriptedDialogs.h"
#include "ToolRun.h"
#include "app/Main.h"
#include "graph/ui/GraphForm.h"
#include "link/StatusMessages.h"
#include "settings/FieldTable.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString readText(const char *path)
{
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The text under the heading whose title is 'title' ("# 16. The command-line tool tractionctl" by
// "The command-line tool tractionctl", "## Wheels" by "Wheels"), up to the next heading of its level
// or above.
QString section(const QString &manual, const QString &title)
{
    const QRegularExpression heading(QStringLiteral("^(#+) (\\d+\\. )?%1\\s*$").arg(QRegularExpression::escape(title)),
                                     QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = heading.match(manual);
    if (!found.hasMatch())
        return {};
    const int level = found.captured(1).size();
    const QRegularExpression next(QStringLiteral("^#{1,%1} ").arg(level), QRegularExpression::MultilineOption);
    const int end = manual.indexOf(next, found.capturedEnd());
    return manual.mid(found.capturedEnd(), end < 0 ? -1 : end - found.capturedEnd());
}

// A menu command's caption as the user reads it: no accelerator mark.
QString caption(const QAction *action) { return action->text().remove(QLatin1Char('&')).trimmed(); }

// Every command of a window's menus and their submenus, the menus' own titles too.
QStringList menuCaptions(const QWidget &window)
{
    QStringList captions;
    for (const QMenu *menu : window.findChildren<QMenu *>()) {
        if (menu->objectName() == QLatin1String("ComPortsSubMenu") ||
            menu->title().contains(QLatin1String("COM Ports")))
            continue;  // its items are the ports the machine has, "COM 3"
        captions << menu->title().remove(QLatin1Char('&')).trimmed();
        for (const QAction *action : menu->actions())
            if (!action->isSeparator() && !action->text().isEmpty())
                captions << caption(action);
    }
    captions.removeDuplicates();
    captions.removeAll(QString());
    return captions;
}

// A message with its number left open ("COM %1 is back, port reopened") as a pattern.
QRegularExpression messagePattern(const char *message)
{
    QString pattern = QRegularExpression::escape(QString::fromUtf8(message));
    pattern.replace(QLatin1String("\\%1"), QLatin1String("\\S+")).replace(QLatin1String("\\%2"), QLatin1String("\\S+"));
    return QRegularExpression(QLatin1Char('"') + pattern + QLatin1Char('"'));
}

// The index's source: "[Part]" then one "ENTRY [| PHRASE] [@ SECTION]" a line; the entries and
// phrases of a part.
QStringList indexPart(const QString &index, const QString &part)
{
    QStringList terms;
    bool in = false;
    for (const QString &line : index.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            in = line == QLatin1Char('[') + part + QLatin1Char(']');
        else if (in && !line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
            for (const QString &piece : line.section(QLatin1Char('@'), 0, 0).split(QLatin1Char('|')))
                terms << piece.trimmed();
    }
    return terms;
}

bool listed(const QStringList &terms, const QString &what)
{
    return std::any_of(terms.begin(), terms.end(), [&](const QString &t) { return t.contains(what); });
}

}  // namespace

// The manual against the program: every menu command, status message, tool command and setting the
// program has is described where a reader looks for it, and listed in the index.
class TestManual : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        m_manual = readText(TRACTION_MANUAL_MD);
        m_index = readText(TRACTION_MANUAL_INDEX);
        QVERIFY(!m_manual.isEmpty() && !m_index.isEmpty());
    }

    void everyMenuCommandIsDescribedAndIndexed()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QVERIFY(window.graphChart());
        const QStringList commands = indexPart(m_index, QStringLiteral("Commands"));
        QStringList undescribed, unindexed;
        for (const QWidget *w :
             {static_cast<const QWidget *>(&window), static_cast<const QWidget *>(window.graphChart())}) {
            const QStringList captions = menuCaptions(*w);
            QVERIFY2(captions.size() > 10, qPrintable(captions.join(", ")));
            for (const QString &c : captions) {
                if (!m_manual.contains(c))
                    undescribed << c;
                if (!listed(commands, c))
                    unindexed << c;
            }
        }
        QVERIFY2(undescribed.isEmpty(), qPrintable("not in the manual: " + undescribed.join(", ")));
        QVERIFY2(unindexed.isEmpty(), qPrintable("not in the index: " + unindexed.join(", ")));
    }

    void everyStatusMessageIsInTheTroubleshootingChapter()
    {
        const QString chapter = section(m_manual, QStringLiteral("Troubleshooting by message"));
        QVERIFY(!chapter.isEmpty());
        const QStringList messages = indexPart(m_index, QStringLiteral("Messages"));
        QStringList missing, unindexed;
        for (const char *message : StatusMessages::All) {
            if (!messagePattern(message).match(chapter).hasMatch())
                missing << QString::fromUtf8(message);
            const QString fixed = QString::fromUtf8(message).section(QLatin1String("%1"), -1).trimmed();
            if (!listed(messages, fixed))
                unindexed << QString::fromUtf8(message);
        }
        QVERIFY2(missing.isEmpty(), qPrintable("not in troubleshooting: " + missing.join(" / ")));
        QVERIFY2(unindexed.isEmpty(), qPrintable("not in the index: " + unindexed.join(" / ")));
    }

    // Read from the tool's help, which its one help table makes.
    void everyToolCommandAndOptionIsInItsChapter()
    {
        const QString chapter = section(m_manual, QStringLiteral("The command-line tool tractionctl"));
        QVERIFY(!chapter.isEmpty());
        QTemporaryDir dir;
        const ToolRun help = runTool(QStringLiteral(TRACTIONCTL_PATH), {QStringLiteral("--help")}, dir.path());
        QCOMPARE(help.status, 0);
        const QRegularExpression form(QStringLiteral("^  ([a-z][a-z-]*)(?: ([a-z][a-z]*)\\b)?(.*)$"),
                                      QRegularExpression::MultilineOption);
        const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
        const QStringList commands = indexPart(m_index, QStringLiteral("Commands"));
        QStringList missing;
        int forms = 0;
        for (auto m = form.globalMatch(help.out); m.hasNext(); ++forms) {
            const QRegularExpressionMatch f = m.next();
            const QString command = f.captured(1);
            const QRegularExpression lines(QStringLiteral("^    tractionctl %1 (.*)$").arg(command),
                                           QRegularExpression::MultilineOption);
            QString usage;
            for (auto l = lines.globalMatch(chapter); l.hasNext();)
                usage += l.next().captured(1) + QLatin1Char('\n');
            if (usage.isEmpty())
                missing << QStringLiteral("tractionctl ") + command;
            const QString sub = f.captured(2);
            const QRegularExpression named(QStringLiteral("(^|[ |])%1\\b").arg(sub),
                                           QRegularExpression::MultilineOption);
            if (!sub.isEmpty() && !named.match(usage).hasMatch())
                missing << command + QLatin1Char(' ') + sub;
            for (auto o = option.globalMatch(f.captured(0)); o.hasNext();) {
                const QString name = o.next().captured(0);
                if (!chapter.contains(name))
                    missing << command + QLatin1Char(' ') + name;
            }
            if (!listed(commands, QStringLiteral("tractionctl ") + command))
                missing << QStringLiteral("index: tractionctl ") + command;
        }
        QVERIFY2(forms > 15, qPrintable(help.out));
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable("not in the tool's chapter: " + missing.join(", ")));
    }

    void everySettingIsOnItsPagesSectionAndIndexed()
    {
        const QString pages = section(m_manual, QStringLiteral("The settings pages"));
        const QStringList settings = indexPart(m_index, QStringLiteral("Settings"));
        QStringList missing;
        int checked = 0;
        for (const Field &field : fieldTable()) {
            if (field.sheet == Sheet::None || !*field.name)
                continue;
            ++checked;
            const QString name = QString::fromUtf8(field.name);
            const QString page = QString::fromUtf8(sheetCaption(field.sheet)).trimmed();
            if (!section(pages, page).contains(name))
                missing << page + QStringLiteral(": ") + name;
            if (!listed(settings, name))
                missing << QStringLiteral("index: ") + name;
        }
        QVERIFY(checked > 30);
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }

private:
    QTemporaryDir m_config;
    QString m_manual;
    QString m_index;
};

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
