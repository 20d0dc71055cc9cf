#pragma once

#include "widgets/Dialogs.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <QString>

#include <functional>

// Answers the program's dialogs in the order the test scripted them and records every text shown.
// A dialog the test did not expect fails the test. Installed for the lifetime of the object.
class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind {
        Error,
        Message,
        Question,
        WarningOkCancel,
        OpenFile,
        SaveFile,
        Print,
        Color,
        PrinterSetup,
        Warning,
        Comparison
    };

    struct Shown {
        Kind kind;
        QString text;  // message text, or the file dialog's title
        FileRequest request;
        Comparison comparison;     // what a comparison box listed
        Question question;         // a question's default and check box
        QPointer<QWidget> parent;  // the window the box belongs to
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Expectations, consumed in order.
    ScriptedDialogs &expectError();
    ScriptedDialogs &expectMessage();
    // 'dontAskAgain' is the check box's state when a question that offers it closes.
    ScriptedDialogs &expectQuestion(bool yes, bool dontAskAgain = false);
    ScriptedDialogs &expectWarning(bool ok);
    ScriptedDialogs &expectOpenFile(const QString &path, int filterIndex = -1);  // "" cancels
    ScriptedDialogs &expectSaveFile(const QString &path, int filterIndex = -1);  // "" cancels
    // The print dialog: 'configure' sets the printer up (a PDF file, say); null cancels.
    ScriptedDialogs &expectPrint(std::function<void(QPrinter &)> configure);
    ScriptedDialogs &expectColor(const QColor &answer);  // invalid colour cancels
    ScriptedDialogs &expectPrinterSetup(bool ok);
    ScriptedDialogs &expectWarning();
    // The comparison box: 'ok' presses OK (Close when it offers only that), 'dontShowAgain' is the
    // check box's state when it closes.
    ScriptedDialogs &expectComparison(bool ok, bool dontShowAgain = false);

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;  // texts of every dialog shown, in order
    QString lastText() const;
    int pending() const { return int(m_script.size()); }
    void clear();

    void error(const QString &text, QWidget *parent) override;
    void message(const QString &text, QWidget *parent) override;
    bool ask(Question &request, QWidget *parent) override;
    bool warningOkCancel(const QString &text, QWidget *parent) override;
    QString openFile(FileRequest &request, QWidget *parent) override;
    QString saveFile(FileRequest &request, QWidget *parent) override;
    bool print(QPrinter &printer, QWidget *parent) override;
    std::optional<QColor> color(const QColor &initial, QWidget *parent) override;
    bool printerSetup(QPrinter &printer, QWidget *parent) override;
    void warning(const QString &text, QWidget *parent) override;
    bool comparison(Comparison &request, QWidget *parent) override;

private:
    struct Step {
        Kind kind;
        bool yes = false;
        QString path;
        int filterIndex = -1;
        QColor color;
        bool dontShowAgain = false;
        std::function<void(QPrinter &)> configure;
    };
    Step take(QWidget *parent, Kind kind, const QString &text, const FileRequest &request = {},
              const Comparison &comparison = {}, const Question &question = {});

    QList<Step> m_script;
    QList<Shown> m_shown;
};
