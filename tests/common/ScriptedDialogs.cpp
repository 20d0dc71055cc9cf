#include "ScriptedDialogs.h"

#include <QPrinter>
#include <QTest>

namespace {
const char *kindName(ScriptedDialogs::Kind kind)
{
    static const char *names[] = {"error box",    "message box",   "question",
                                  "warning",      "open dialog",   "save dialog",
                                  "print dialog", "colour dialog", "printer set-up dialog",
                                  "warning box",  "comparison box"};
    return names[int(kind)];
}
}  // namespace

ScriptedDialogs::ScriptedDialogs() { Dialogs::install(this); }

ScriptedDialogs::~ScriptedDialogs() { Dialogs::install(nullptr); }

ScriptedDialogs &ScriptedDialogs::expectError()
{
    m_script.append({Kind::Error});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectMessage()
{
    m_script.append({Kind::Message});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectQuestion(bool yes, bool dontAskAgain)
{
    Step step{Kind::Question, yes};
    step.dontShowAgain = dontAskAgain;
    m_script.append(step);
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectWarning(bool ok)
{
    m_script.append({Kind::WarningOkCancel, ok});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectOpenFile(const QString &path, int filterIndex)
{
    m_script.append({Kind::OpenFile, false, path, filterIndex});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectSaveFile(const QString &path, int filterIndex)
{
    m_script.append({Kind::SaveFile, false, path, filterIndex});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectPrint(std::function<void(QPrinter &)> configure)
{
    Step step{Kind::Print};
    step.configure = std::move(configure);
    m_script.append(step);
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectColor(const QColor &answer)
{
    Step step{Kind::Color};
    step.color = answer;
    m_script.append(step);
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectPrinterSetup(bool ok)
{
    m_script.append({Kind::PrinterSetup, ok});
    return *this;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out << s.text;
    return out;
}

QString ScriptedDialogs::lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }

void ScriptedDialogs::clear()
{
    m_script.clear();
    m_shown.clear();
}

ScriptedDialogs &ScriptedDialogs::expectWarning()
{
    m_script.append({Kind::Warning});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::expectComparison(bool ok, bool dontShowAgain)
{
    Step step{Kind::Comparison, ok};
    step.dontShowAgain = dontShowAgain;
    m_script.append(step);
    return *this;
}

ScriptedDialogs::Step ScriptedDialogs::take(QWidget *parent, Kind kind, const QString &text, const FileRequest &request,
                                            const Comparison &comparison, const Question &question)
{
    m_shown.append({kind, text, request, comparison, question, parent});
    if (m_script.isEmpty() || m_script.first().kind != kind) {
        const QString expected = m_script.isEmpty() ? QStringLiteral("nothing")
                                                    : QString::fromLatin1(kindName(m_script.first().kind));
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1 \"%2\" (expected %3)")
                                    .arg(QString::fromLatin1(kindName(kind)), text, expected)),
                     __FILE__, __LINE__);
        return Step{kind};
    }
    return m_script.takeFirst();
}

void ScriptedDialogs::error(const QString &text, QWidget *parent) { take(parent, Kind::Error, text); }

void ScriptedDialogs::message(const QString &text, QWidget *parent) { take(parent, Kind::Message, text); }

bool ScriptedDialogs::ask(Question &request, QWidget *parent)
{
    const Step step = take(parent, Kind::Question, request.text, {}, {}, request);
    request.dontAskAgain = request.offerDontAsk && step.yes && step.dontShowAgain;
    return step.yes;
}

bool ScriptedDialogs::warningOkCancel(const QString &text, QWidget *parent)
{
    return take(parent, Kind::WarningOkCancel, text).yes;
}

QString ScriptedDialogs::openFile(FileRequest &request, QWidget *parent)
{
    const Step step = take(parent, Kind::OpenFile, request.title, request);
    if (step.filterIndex >= 0)
        request.filterIndex = step.filterIndex;
    return step.path;
}

QString ScriptedDialogs::saveFile(FileRequest &request, QWidget *parent)
{
    const Step step = take(parent, Kind::SaveFile, request.title, request);
    if (step.filterIndex >= 0)
        request.filterIndex = step.filterIndex;
    return step.path;
}

bool ScriptedDialogs::print(QPrinter &printer, QWidget *parent)
{
    const Step step = take(parent, Kind::Print, QString());
    if (!step.configure)
        return false;
    step.configure(printer);
    return true;
}

std::optional<QColor> ScriptedDialogs::color(const QColor &initial, QWidget *parent)
{
    const Step step = take(parent, Kind::Color, initial.name());
    if (!step.color.isValid())
        return std::nullopt;
    return step.color;
}

bool ScriptedDialogs::printerSetup(QPrinter &, QWidget *parent)
{
    return take(parent, Kind::PrinterSetup, QString()).yes;
}

void ScriptedDialogs::warning(const QString &text, QWidget *parent) { take(parent, Kind::Warning, text); }

bool ScriptedDialogs::comparison(Comparison &request, QWidget *parent)
{
    const Step step = take(parent, Kind::Comparison, request.text, {}, request);
    if (request.offerDontShow)
        request.dontShowAgain = step.dontShowAgain;
    return step.yes && request.confirm;
}
