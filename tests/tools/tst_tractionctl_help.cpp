#include "platform/ProgramVersion.h"

#include "ToolRun.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The tool's help as a new user meets it: where it goes, what it exits with, and the completion
// and man page made from the same table.
class TestTractionctlHelp : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    ToolRun run(const QStringList &args) { return runTool(QStringLiteral(TRACTIONCTL_PATH), args, m_dir.path()); }

    static QStringList usageLines(const QString &text)
    {
        QStringList lines;
        for (const QString &line : text.split(u'\n'))
            if (line.startsWith(u"usage: tractionctl "))
                lines.append(line);
        return lines;
    }

    // What bash offers after the words typed so far (the last one is being completed).
    QStringList complete(const QString &script, const QStringList &typed)
    {
        QStringList quoted;
        for (const QString &w : typed)
            quoted.append(u'\'' + w + u'\'');
        const QString line = QStringLiteral("source '%1'; COMP_WORDS=(tractionctl %2); COMP_CWORD=%3; "
                                            "_tractionctl; printf '%s\\n' \"${COMPREPLY[@]}\"")
                                 .arg(script, quoted.join(u' '))
                                 .arg(typed.size());
        QProcess bash;
        bash.start(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("-c"), line});
        if (!bash.waitForFinished(10000))
            return {QStringLiteral("<hung>")};
        QStringList words = QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        words.sort();
        return words;
    }

private slots:
    void helpGoesToStandardOutputOnce()
    {
        for (const char *flag : {"--help", "-h"}) {
            const ToolRun r = run({flag});
            QCOMPARE(r.status, 0);
            QCOMPARE(r.err, QString());
            for (const char *form :
                 {"  show FILE|--default [--json] [--names]\n", "  graph export IN.dat|IN.tld OUT.csv\n",
                  "  graph info IN.dat|IN.tld\n", "  log-clear --port DEV|COMn [--progress]\n"})
                QCOMPARE(r.out.count(QLatin1String(form)), 1);
        }
        ToolRun r = run({"help", "diff"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(usageLines(r.out), QStringList{"usage: tractionctl diff A B [--names]"});
        QVERIFY2(r.out.contains("--names names the controls"), qPrintable(r.out));

        r = run({"help", "read"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("DEV is a serial device"), qPrintable(r.out));  // the port commands say what a port is
    }

    void wrongUsageGoesToStandardErrorWithStatusTwo()
    {
        ToolRun r = run({});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QStringList all = usageLines(r.err);
        QVERIFY2(all.contains("usage: tractionctl show FILE|--default [--json] [--names]"), qPrintable(r.err));
        QCOMPARE(all.removeDuplicates(), 0);
        QVERIFY(all.size() >= 15);

        // A known command used wrongly: its own usage, nothing else.
        r = run({"diff", "one.dat"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("usage: tractionctl diff A B [--names]\n"));
        r = run({"show", "--default", "--progress"});  // only the commands that talk to the unit take it
        QCOMPARE(r.status, 2);

        r = run({"frobnicate"});
        QCOMPARE(r.status, 2);
        QCOMPARE(usageLines(r.err), all);
        QVERIFY2(r.err.contains("no command \"frobnicate\""), qPrintable(r.err));
        r = run({"help", "frobnicate"});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.contains("no command \"frobnicate\""), qPrintable(r.err));
    }

    void versionIsTheProgramsVersion()
    {
        const ToolRun r = run({"--version"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, "tractionctl " + ProgramVersion::current().text() + "\n");
    }

    void completionOffersCommandsOptionsAndFiles()
    {
        const QString script = m_dir.filePath("tractionctl.bash");
        QCOMPARE(run({"--bash-completion", script}).status, 0);
        QCOMPARE(complete(script, {"gr"}), QStringList{"graph"});
        QCOMPARE(complete(script, {"log-"}), (QStringList{"log-clear", "log-upload"}));
        QCOMPARE(complete(script, {"graph", ""}), (QStringList{"export", "info", "response", "stats"}));
        QCOMPARE(complete(script, {"show", "--"}), (QStringList{"--default", "--json", "--names"}));
        QCOMPARE(complete(script, {"read", "out.dat", "--p"}), (QStringList{"--port", "--progress"}));
        QCOMPARE(complete(script, {"help", "mon"}), QStringList{"monitor"});
        QCOMPARE(complete(script, {"read", "ou"}), QStringList{});  // bash's own file names then
    }

    void manPageHoldsEveryCommand()
    {
        const QString page = m_dir.filePath("tractionctl.1");
        QCOMPARE(run({"--man-page", page}).status, 0);
        const QString groff = QStandardPaths::findExecutable("groff");
        if (groff.isEmpty())
            QSKIP("groff is not installed");
        QProcess render;
        render.start(groff, {"-man", "-Tutf8", "-ww", "-P", "-cbou", page});
        QVERIFY(render.waitForFinished(10000));
        const QString text = QString::fromUtf8(render.readAllStandardOutput());
        QCOMPARE(QString::fromUtf8(render.readAllStandardError()), QString());  // no roff warnings
        QVERIFY2(text.contains("tractionctl " + ProgramVersion::current().text()), qPrintable(text));
        const ToolRun help = run({"--help"});
        for (QString form : help.out.split(u'\n')) {
            if (!form.startsWith(u"  ") || form.startsWith(u"      "))
                continue;
            // A long form may break across lines on the page; its words stay in order.
            QString pattern = QRegularExpression::escape(form.trimmed());
            pattern.replace("\\ ", "\\s+");
            QVERIFY2(text.contains(QRegularExpression(pattern)), qPrintable(form));
        }
    }
};

QTEST_GUILESS_MAIN(TestTractionctlHelp)
#include "tst_tractionctl_help.moc"
