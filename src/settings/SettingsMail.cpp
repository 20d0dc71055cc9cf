#include "settings/SettingsMail.h"

#include "platform/Maker.h"

#include <QRegularExpression>

#include <algorithm>
#include <span>

namespace SettingsMail {

namespace {

constexpr const char *Break = "%0D%0A";

// What follows a text of the page, by its tag; any tag not listed takes one space.
struct Separator {
    const char *text;
    std::span<const int> tags;
};

// clang-format off
constexpr int TwoBreakTags[] = {2, 10, 20, 23, 28, 41, 48, 54, 63, 74, 87, 100, 106, 113, 115, 125, 138};
constexpr int BreakTags[] = {3, 25, 42, 64, 101, 116};
constexpr int CommaTags[] = {4, 11, 21, 24, 26, 29, 43, 49, 55, 65, 75, 86, 88, 102, 107, 112, 114, 117, 126, 139};
constexpr int BreakTabTags[] = {7, 14, 17, 32, 35, 38, 46, 52, 57, 59, 61, 68, 71, 78, 81, 84, 91, 94, 97, 104, 110,
                                119, 121, 123, 129, 132, 135};
// clang-format on

constexpr Separator Separators[] = {
    {"%0D%0A%0D%0A", TwoBreakTags},
    {"%0D%0A", BreakTags},
    {", ", CommaTags},
    {"%0D%0A%09", BreakTabTags},
};

const char *separatorAfter(int tag)
{
    for (const Separator &s : Separators) {
        if (std::find(s.tags.begin(), s.tags.end(), tag) != s.tags.end())
            return s.text;
    }
    return " ";
}

// The fields come with their line breaks and tabs escaped. A '%' that starts no escape (the unit of
// a slip, just before "%0D%0A") would make a mail program take it and the break after it for one
// broken escape; '&' would end the field and '#' the whole link (a typed wheel list or a unit's
// version text may hold either).
QString escapedField(QString text)
{
    static const QRegularExpression lonePercent(QStringLiteral("%(?![0-9A-Fa-f]{2})"));
    text.replace(lonePercent, QStringLiteral("%25"));
    return text.replace(u'&', QLatin1String("%26")).replace(u'#', QLatin1String("%23"));
}

QString link(const QString &subject, const QString &body)
{
    return QStringLiteral("mailto:%1?subject=%2&body=%3")
        .arg(QLatin1String(Maker::SupportEmail), escapedField(subject), escapedField(body));
}

}  // namespace

QString body(const PrintPage &page)
{
    QString text;
    for (const PrintItem &item : page.items()) {
        text += item.text;
        if (item.kind == PrintItem::Kind::CheckBox)
            text += item.checked ? QLatin1String(" - Enabled") : QLatin1String(" - Disabled");
        text += QLatin1String(separatorAfter(item.tag));
    }
    return text;
}

QString emailLink(const PrintPage &page) { return link(QStringLiteral("Traction email form"), body(page)); }

QString feedbackLink(const QString &programVersion)
{
    const QString body = QLatin1String("{Enter your name here}") + QLatin1String(Break) + QLatin1String(Break) +
                         QLatin1String("{Enter feedback here}") + QLatin1String(Break);
    return link(QStringLiteral("Traction Software Version %1 feedback").arg(programVersion), body);
}

}  // namespace SettingsMail
