#pragma once

#include "settings/PageValues.h"

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QString>

// One text of the printed settings page. The tag is its order number on the page, which is also
// the order of the mail body.
struct PrintItem {
    enum class Kind {
        Title,    // "TractionVersion :" and the version, centred over the frame
        Heading,  // a section heading, bold and underlined
        Label,    // a group or item label
        Value,    // the text a page control shows
        Pattern,  // a cut row as 20 characters "1"/"0"
        Unit,
        CheckBox,  // its caption and the checked state of its page control
        Footer,    // the date line (left) and the program version (right-aligned)
    };

    int tag;
    Kind kind;
    QString name;     // value cells: "MaxDiffAnySpeed"; the footer: "Label86", "Label83"; else ""
    QString control;  // the page control a value or check box is taken from; else ""
    QString text;
    bool checked = false;
    QRect box;  // in page pixels
    // The title's two items share one box and are drawn as one centred line.
    Qt::Alignment align = Qt::AlignLeft;
};

// The page the settings are printed on, 860 x 778 pixels, laid out from the print rows and
// filled from what the settings pages show. Drawing it is the painter's business.
class PrintPage {
public:
    static constexpr int Width = 860;
    static constexpr int Height = 778;
    static constexpr QRect Logo{249, 0, 361, 153};
    static constexpr QRect Frame{8, 160, 842, 562};  // (8, 160) to (849, 721)
    static constexpr int ColumnLine = 428;

    static constexpr const char *Unknown = "Unknown";

    // The layout with the default texts of its cells ("655.35", patterns of zeros, "Unknown").
    PrintPage();

    // Copies what the pages show into the value cells, the firmware version into the title
    // and the footer texts.
    void fill(const PageValues &pages, const QString &tractionVersion, const QString &programVersion,
              const QDateTime &printed);

    const QList<PrintItem> &items() const { return m_items; }  // in tag order, 1..140
    const PrintItem *item(int tag) const;
    const PrintItem *byName(const QString &name) const;

private:
    QList<PrintItem> m_items;
};

// "Printed Tuesday, December 8, 2026,  at 09:05 PM", in English whatever the user's locale.
QString printedDateLine(const QDateTime &when);
