#pragma once

#include <QProcess>
#include <QString>

// A PDF's text as poppler's pdftotext reads it, laid out as on the page; each page ends with a
// form feed. Empty when the file cannot be read (or pdftotext is missing).
inline QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The pages of a text from pdfText, each without its form feed.
inline QStringList pdfPages(const QString &text)
{
    QStringList pages = text.split(QLatin1Char('\f'));
    pages.removeLast();  // what follows the last form feed
    return pages;
}
