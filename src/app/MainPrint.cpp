// The main window's printing: the settings page or, while the terminal is shown, its text.
#include "app/Main.h"

#include "app/MainBody.h"
#include "app/PrintForm.h"
#include "link/StatusMessages.h"
#include "link/ui/TerminalFrame.h"
#include "print/PagePainter.h"
#include "settings/ui/MainFrame.h"
#include "widgets/Dialogs.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QStackedWidget>

QPrinter &TForm1::printer()
{
    // One printer for the program's run, so that the set-up dialog's choices reach the next print.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void TForm1::BuildPrintPage()
{
    m_printerForm->BuildPage(m_body->frame1()->ShownValues(),
                             QString::fromLatin1(m_link->state().firmwareVersionText()), m_statusBar->versionText());
}

// Qt hands a print job to the system's queue without asking how it went: a stopped queue would
// hold the page and "Page Printed OK" would be a lie. Asked before anything is sent.
bool TForm1::queueAccepts(const QPrinter &printer, QString *error)
{
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return true;
    const QPrinterInfo queue = QPrinterInfo::printerInfo(printer.printerName());
    if (queue.isNull()) {
        *error =
            QStringLiteral("The printer %1 is not there any more; nothing was printed.").arg(printer.printerName());
        return false;
    }
    if (queue.state() == QPrinter::Error || queue.state() == QPrinter::Aborted) {
        *error = QStringLiteral("The printer %1 is stopped; nothing was printed. Start it in the system's printer "
                                "settings and print again.")
                     .arg(printer.printerName());
        return false;
    }
    return true;
}

void TForm1::Print1Execute()
{
    stopMessageTimer();
    const bool settingsShown = m_body->pages()->currentWidget() == m_body->frame1();
    if (settingsShown)
        BuildPrintPage();
    if (!Dialogs::instance().print(printer(), this)) {
        ShowStatus(QLatin1String(StatusMessages::PrintFailed), true, QStringLiteral("the print dialog was cancelled"));
    } else {
        QString error;
        const bool printed = queueAccepts(printer(), &error) && (settingsShown ? m_printerForm->Print(printer(), &error)
                                                                               : PrintLines(terminalLines(), &error));
        if (!printed)
            Dialogs::instance().error(error, this);
        ShowStatus(QLatin1String(printed ? StatusMessages::PagePrinted : StatusMessages::PrintFailed), !printed, error);
    }
    startMessageTimer();
}

bool TForm1::PrintLines(const QStringList &lines, QString *error)
{
    return PagePainter::printLines(printer(), lines, error);
}

void TForm1::PrinterSetup1Execute() { Dialogs::instance().printerSetup(printer(), this); }

QStringList TForm1::terminalLines() const { return m_body->frame2()->lines(); }
