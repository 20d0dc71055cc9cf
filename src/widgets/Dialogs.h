#pragma once

#include "settings/SettingsDiff.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

// Every message box, question, file dialog, print dialog and colour dialog goes through here,
// so that tests can answer them in order and see every text that would have been shown.
class Dialogs {
public:
    struct FileRequest {
        QString title;
        QString directory;
        QString fileName;
        QString defaultSuffix;
        QStringList filters;           // "DOS Traction file format (*.Dat)", ...
        int filterIndex = 0;           // in: the filter chosen at start; out: the one the user picked
        bool confirmOverwrite = true;  // save dialog: ask before choosing an existing file
    };

    // Two settings images side by side: what a write will change, what the unit holds against
    // the pages, what a verify found.
    struct Comparison {
        QString title;
        QString text;  // above the list; says so when there is nothing to list
        QList<SettingChange> changes;
        bool confirm = false;        // OK and Cancel; otherwise only Close
        bool offerDontShow = false;  // the "Don't show again" check box
        bool dontShowAgain = false;  // in: its first state; out: its state when the box closed
    };

    // A Yes/No question whose default button and "Don't ask again" box the caller chooses.
    struct Question {
        QString text;
        bool defaultYes = true;     // the button Enter presses
        bool offerDontAsk = false;  // the "Don't ask again" check box
        bool dontAskAgain = false;  // out: its state when the box closed with Yes
    };

    virtual ~Dialogs() = default;

    // The application's error box, also its general error report.
    virtual void error(const QString &text, QWidget *parent = nullptr) = 0;
    // A plain message box with an OK button.
    virtual void message(const QString &text, QWidget *parent = nullptr) = 0;
    // A confirmation with a question icon and Yes/No, Yes the default; true for Yes.
    bool question(const QString &text, QWidget *parent = nullptr)
    {
        Question request{text};
        return ask(request, parent);
    }
    // The same with No the default: the answer that loses nothing, where Yes discards work.
    bool questionNo(const QString &text, QWidget *parent = nullptr)
    {
        Question request{text, false};
        return ask(request, parent);
    }
    // The same with the default and the check box of 'request'; true for Yes.
    virtual bool ask(Question &request, QWidget *parent = nullptr) = 0;
    // A warning with OK/Cancel; true for OK.
    virtual bool warningOkCancel(const QString &text, QWidget *parent = nullptr) = 0;
    // A warning with an OK button only.
    virtual void warning(const QString &text, QWidget *parent = nullptr) = 0;
    // The comparison box; true for OK (always false when it only offers Close).
    virtual bool comparison(Comparison &request, QWidget *parent = nullptr) = 0;
    // Empty string when cancelled.
    virtual QString openFile(FileRequest &request, QWidget *parent = nullptr) = 0;
    virtual QString saveFile(FileRequest &request, QWidget *parent = nullptr) = 0;
    // The print dialog; true when the user confirmed and the printer is set up.
    virtual bool print(QPrinter &printer, QWidget *parent = nullptr) = 0;
    // The printer set-up dialog (paper and orientation); true when the user confirmed.
    virtual bool printerSetup(QPrinter &printer, QWidget *parent = nullptr) = 0;
    virtual std::optional<QColor> color(const QColor &initial, QWidget *parent = nullptr) = 0;

    // A text as a dialog shows it. The program's texts break lines with "\n\r", as the unit's do;
    // Qt would draw the CR as a second break, so each such pair becomes one line end.
    static QString shownText(const QString &text);

    // The one in use: the Qt dialogs unless a test installed its own.
    static Dialogs &instance();
    static void install(Dialogs *dialogs);  // nullptr restores the Qt dialogs
};
