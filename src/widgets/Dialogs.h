#pragma once

#include <QColor>
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
        QStringList filters;   // "DOS Traction file format (*.Dat)", ...
        int filterIndex = 0;   // in: the filter chosen at start; out: the one the user picked
        bool confirmOverwrite = true;  // save dialog: ask before choosing an existing file
    };

    virtual ~Dialogs() = default;

    // The application's error box, also its general error report.
    virtual void error(const QString &text, QWidget *parent = nullptr) = 0;
    // A plain message box with an OK button.
    virtual void message(const QString &text, QWidget *parent = nullptr) = 0;
    // A confirmation with a question icon and Yes/No; true for Yes.
    virtual bool question(const QString &text, QWidget *parent = nullptr) = 0;
    // A warning with OK/Cancel; true for OK.
    virtual bool warningOkCancel(const QString &text, QWidget *parent = nullptr) = 0;
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
