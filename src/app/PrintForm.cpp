#include "app/PrintForm.h"

#include "print/PagePainter.h"

#include <QPainter>
#include <QPrinter>

TPrinterForm::TPrinterForm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("PrinterForm"));
    setWindowTitle(QStringLiteral("Print layout"));
    setFixedSize(PrintPage::Width, PrintPage::Height);
}

void TPrinterForm::BuildPage(const PageValues &pages, const QString &firmwareVersion, const QString &programVersion,
                             const QDateTime &printed)
{
    if (!firmwareVersion.isEmpty())
        m_tractionVersion = firmwareVersion;
    m_page.fill(pages, m_tractionVersion, programVersion, printed);
    update();
}

bool TPrinterForm::Print(QPrinter &printer, QString *error) const { return PagePainter::print(printer, m_page, error); }

void TPrinterForm::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PagePainter::paint(painter, m_page);
}
