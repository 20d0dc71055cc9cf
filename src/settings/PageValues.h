#pragma once

#include "settings/FieldTable.h"
#include "settings/SettingsImage.h"

#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

// What the settings pages show, without widgets: the text of every edit box and slider caption,
// every check box, every cut row, the four channel lists and the sample-rate list.
// fill() decodes an image the way the pages are filled from it; copyTo() encodes it back the way
// the pages are copied into the image. Both walk the field table.
class PageValues {
public:
    // The pages before their first fill: empty boxes, every cut-row box checked, lists unchosen.
    PageValues();
    // The pages as the program shows them once it has started: filled from the default image.
    static PageValues afterStartup(const QLocale &locale = QLocale());

    void fill(const SettingsImage &image, const QLocale &locale = QLocale());
    // Stops at the first entry that is not a number and returns its message; fields converted
    // before it already hold their new values in the image.
    std::optional<QString> copyTo(SettingsImage &image, const QLocale &locale = QLocale()) const;

    // Edit boxes by their control, slider captions by the caption's control.
    QString text(const QString &control) const { return m_texts.value(control); }
    void setText(const QString &control, const QString &text) { m_texts.insert(control, text); }
    bool checked(const QString &control) const { return m_checks.value(control); }
    void setChecked(const QString &control, bool on) { m_checks.insert(control, on); }
    // A cut row as 20 characters "1" (spark) / "0" in position order, by the row's prefix.
    QString cells(const QString &row) const { return m_cells.value(row); }
    void setCell(const QString &row, int k, bool spark);  // k = 1..20
    // A channel list's text: "CH1".."CH4", or whatever was typed into it.
    QString channel(Wheel wheel) const { return m_channels[int(wheel)]; }
    void setChannel(Wheel wheel, const QString &text) { m_channels[int(wheel)] = text; }
    // Sample-rate list position, -1 when no rate is chosen.
    int ratePosition() const { return m_ratePosition; }
    void setRatePosition(int position) { m_ratePosition = position; }

    // One line of what the pages show, in table order; the four channel lists follow the
    // Wheels fields, the way a user reads the sheets.
    struct Shown {
        enum Kind { Text, Check, Row, List };
        Kind kind;
        QString control;  // edit box, slider caption, check box, cut-row prefix or list
        QString offsets;  // "18", "128-147", "66/112" (the channel shown) or "" for none
        QString text;     // shown text; check boxes "true"/"false"; lists "" when unchosen
        QString unit;
        QString page;   // the tab caption
        QString label;  // "Dry settings: Soft cut", as the group and the label read on the page
    };
    QList<Shown> shown() const;

    bool operator==(const PageValues &other) const = default;

private:
    QHash<QString, QString> m_texts;
    QHash<QString, bool> m_checks;
    QHash<QString, QString> m_cells;
    std::array<QString, 4> m_channels;
    int m_ratePosition = -1;
};
