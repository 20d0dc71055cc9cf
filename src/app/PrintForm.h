#pragma once

#include "settings/PrintPage.h"

#include <QWidget>

class QPrinter;

// The print layout: the settings page at its own size. It is never shown; it holds the page
// between building and printing and remembers the last firmware version printed.
class TPrinterForm : public QWidget {
    Q_OBJECT
public:
    explicit TPrinterForm(QWidget *parent = nullptr);

    // Fills the page from what the settings pages show. An empty firmware version (none read, or
    // the last query failed) leaves the title as it was: "Unknown" until one was printed once.
    void BuildPage(const PageValues &pages, const QString &firmwareVersion, const QString &programVersion,
                   const QDateTime &printed = QDateTime::currentDateTime());

    const PrintPage &page() const { return m_page; }
    QString TractionVersion() const { return m_tractionVersion; }

    // The page as one sheet on the printer; false with the reason when the job failed.
    bool Print(QPrinter &printer, QString *error) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PrintPage m_page;
    QString m_tractionVersion = QLatin1String(PrintPage::Unknown);
};
