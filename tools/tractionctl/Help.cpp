#include "Help.h"

#include <QRegularExpression>
#include <QStringList>

namespace Help {

namespace {

constexpr int Width = 79;

const char Purpose[] = "Settings files, graph files and the traction control unit from the command line, through "
                       "the same code as the program's window.";
const char Ports[] = "DEV is a serial device such as /dev/ttyUSB0; COMn is a port as the program numbers it "
                     "(links in ~/.config/Veltorane/ports/ keep their number). --progress shows what the unit "
                     "is doing and how far it got on standard error, as it does on its own when standard error "
                     "is a terminal.";
const char ExitStatus[] = "0 done; 1 failed, or (diff, check) the files differ; 2 wrong usage.";

QStringList forms(const HelpEntry &entry) { return QString::fromUtf8(entry.usage).split(u'\n'); }

// Words filled into lines of at most Width columns, each line starting with indent.
QString wrapped(const QString &text, int indent)
{
    QString out, line;
    const QString margin(indent, u' ');
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && margin.size() + line.size() + 1 + word.size() > Width) {
            out += margin + line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        out += margin + line + u'\n';
    return out;
}

QString roff(QString text)
{
    text.replace(u'\\', QStringLiteral("\\e"))
        .replace(u'-', QStringLiteral("\\-"))
        .replace(u'"', QStringLiteral("\\(dq"));
    if (text.startsWith(u'.') || text.startsWith(u'\''))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

QString words(const QStringList &list) { return list.join(u' '); }

}  // namespace

QString usage(std::span<const HelpEntry> entries)
{
    QString out;
    for (const HelpEntry &e : entries)
        for (const QString &form : forms(e))
            out += QStringLiteral("usage: tractionctl ") + form + u'\n';
    return out;
}

QString overview(std::span<const HelpEntry> entries)
{
    QString out = QStringLiteral("usage: tractionctl COMMAND [ARGUMENTS]\n"
                                 "       tractionctl --help | --version\n\n");
    out += wrapped(QString::fromUtf8(Purpose), 0) + QStringLiteral("\nCommands:\n");
    for (const HelpEntry &e : entries) {
        for (const QString &form : forms(e))
            out += QStringLiteral("  ") + form + u'\n';
        out += wrapped(QString::fromUtf8(e.summary), 6);
    }
    out += u'\n' + wrapped(QString::fromUtf8(Ports), 0);
    out += u'\n' + wrapped(QStringLiteral("Exit status: ") + QString::fromUtf8(ExitStatus), 0);
    return out;
}

QString command(const HelpEntry &entry)
{
    QString out;
    for (const QString &form : forms(entry))
        out += QStringLiteral("usage: tractionctl ") + form + u'\n';
    out += u'\n' + wrapped(QString::fromUtf8(entry.summary), 0);
    if (*entry.details)
        out += u'\n' + wrapped(QString::fromUtf8(entry.details), 0);
    if (QString::fromUtf8(entry.usage).contains(u"--port"))
        out += u'\n' + wrapped(QString::fromUtf8(Ports), 0);
    return out;
}

QStringList optionsOf(const HelpEntry &entry)
{
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    QStringList found;
    for (const auto &m : option.globalMatch(QString::fromUtf8(entry.usage)))
        if (!found.contains(m.captured()))
            found.append(m.captured());
    return found;
}

QStringList subcommandsOf(const HelpEntry &entry)
{
    static const QRegularExpression word(QStringLiteral("^[a-z]+$"));
    QStringList found;
    for (const QString &form : forms(entry)) {
        const QStringList parts = form.split(u' ', Qt::SkipEmptyParts);
        if (parts.size() > 1 && word.match(parts[1]).hasMatch() && !found.contains(parts[1]))
            found.append(parts[1]);
    }
    return found;
}

QString bashCompletion(std::span<const HelpEntry> entries)
{
    QStringList names;
    QString cases;
    for (const HelpEntry &e : entries) {
        names.append(QString::fromUtf8(e.name));
        if (qstrcmp(e.name, "help") == 0)  // completes the command names, above
            continue;
        const QStringList subs = subcommandsOf(e);
        if (!subs.isEmpty())
            cases += QStringLiteral("    %1) ((COMP_CWORD == 2)) && words=\"%2\" || words=\"%3\" ;;\n")
                         .arg(e.name, words(subs), words(optionsOf(e)));
        else
            cases += QStringLiteral("    %1) words=\"%2\" ;;\n").arg(e.name, words(optionsOf(e)));
    }
    return QStringLiteral("# bash completion for tractionctl, made from its help by tractionctl --bash-completion\n"
                          "_tractionctl()\n"
                          "{\n"
                          "  local cur=${COMP_WORDS[COMP_CWORD]} words\n"
                          "  COMPREPLY=()\n"
                          "  if ((COMP_CWORD == 1)); then\n"
                          "    COMPREPLY=($(compgen -W \"%1 --help --version\" -- \"$cur\"))\n"
                          "    return\n"
                          "  fi\n"
                          "  case ${COMP_WORDS[1]} in\n"
                          "    help) ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W \"%1\" -- \"$cur\")); return ;;\n"
                          "%2"
                          "    *) return ;;\n"
                          "  esac\n"
                          "  # Files (the default) unless an option or a sub-command is being typed.\n"
                          "  if [[ $cur == -* || ($COMP_CWORD == 2 && $words != *--*) ]]; then\n"
                          "    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
                          "  fi\n"
                          "}\n"
                          "complete -o default -F _tractionctl tractionctl\n")
        .arg(words(names), cases);
}

QString manPage(std::span<const HelpEntry> entries, const QString &version)
{
    // Not hyphenated: options and file names must read as typed.
    QString out =
        QStringLiteral(".TH TRACTIONCTL 1 \"\" \"tractionctl %1\" \"User Commands\"\n.nh\n.ad l\n").arg(version);
    out += QStringLiteral(".SH NAME\ntractionctl \\- settings, graph files and the traction control unit "
                          "from the command line\n");
    out += QStringLiteral(".SH SYNOPSIS\n.B tractionctl\n.I COMMAND\n[\\fIARGUMENTS\\fR]\n.br\n"
                          ".B tractionctl\n\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n");
    out += QStringLiteral(".SH DESCRIPTION\n") + roff(QString::fromUtf8(Purpose)) + u'\n';
    out += QStringLiteral(".SH COMMANDS\n");
    for (const HelpEntry &e : entries) {
        out += QStringLiteral(".TP\n");
        const QStringList f = forms(e);
        for (qsizetype i = 0; i < f.size(); ++i)
            out += (i ? QStringLiteral(".br\n") : QString()) + QStringLiteral(".B ") + roff(f[i]) + u'\n';
        out += roff(QString::fromUtf8(e.summary)) + u'\n';
        if (*e.details)
            out += roff(QString::fromUtf8(e.details)) + u'\n';
    }
    out += QStringLiteral(".SH PORTS\n") + roff(QString::fromUtf8(Ports)) + u'\n';
    out += QStringLiteral(".SH EXIT STATUS\n") + roff(QString::fromUtf8(ExitStatus)) + u'\n';
    return out;
}

}  // namespace Help
