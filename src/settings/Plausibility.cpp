#include "settings/Plausibility.h"

#include "settings/FieldConversions.h"
#include "settings/FieldTable.h"
#include "settings/SettingsDiff.h"

#include <functional>

namespace {

using Finding = std::function<QString(const Field &, const SettingsImage &, const QLocale &)>;

// The values the wheel speeds are divided by, or scaled with: zero makes every speed meaningless.
bool mustNotBeZero(const Field &f)
{
    static constexpr const char *Controls[] = {"Wh_Driven_Dia", "Wh_Driven_Pulse", "Wh_Reference_Dia",
                                               "Wh_Reference_Pulse"};
    for (const char *control : Controls)
        if (qstrcmp(f.control, control) == 0)
            return true;
    return false;
}

QString hex(quint8 byte) { return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper(); }

struct Rule {
    std::function<bool(const Field &)> applies;
    const char *text;  // %1: the box's length, where it has one
    Finding finding;   // the value that breaks the rule, or "" when the field keeps it
};

const Rule Rules[] = {
    {[](const Field &f) { return f.form == FieldForm::Cells; }, "a cut cell holds \"0\" or \"1\"",
     [](const Field &f, const SettingsImage &image, const QLocale &) {
         QStringList bad;
         for (int k = 0; k < f.size; ++k) {
             const quint8 cell = image.byte(f.offset + k);
             if (cell != '0' && cell != '1')
                 bad << QStringLiteral("cell %1: %2").arg(k + 1).arg(hex(cell));
         }
         return bad.join(QStringLiteral(", "));
     }},
    {[](const Field &f) { return f.form == FieldForm::Flag || f.form == FieldForm::ChannelFlag; },
     "an on/off setting holds 00 or FF",
     [](const Field &f, const SettingsImage &image, const QLocale &) {
         const quint8 flag = image.byte(f.offset);
         if (flag == 0x00 || flag == 0xFF)
             return QString();
         // A channel has two flags under one name: say which.
         if (f.form == FieldForm::ChannelFlag)
             return QStringLiteral("%1 flag %2")
                 .arg(f.offset < channelLeftOffset(0) ? QStringLiteral("front") : QStringLiteral("left"), hex(flag));
         return hex(flag);
     }},
    {[](const Field &f) { return f.form == FieldForm::RateCode; }, "the sample rate code is below 48",
     [](const Field &f, const SettingsImage &image, const QLocale &) {
         const quint16 code = image.word(f.offset);
         return ratePositionFromCode(code) < 0 ? QStringLiteral("code %1").arg(code) : QString();
     }},
    {mustNotBeZero, "cannot be zero",
     [](const Field &f, const SettingsImage &image, const QLocale &) {
         return image.word(f.offset) == 0 ? QStringLiteral("0") : QString();
     }},
    {[](const Field &f) { return isEditForm(f.form) && f.maxLength > 0; },
     "longer than the %1 characters its box takes",
     [](const Field &f, const SettingsImage &image, const QLocale &locale) {
         const QString shown = shownValue(f, image, locale);
         return shown.size() > f.maxLength ? shown : QString();
     }},
};

}  // namespace

QString Implausible::line() const { return QStringLiteral("%1: %2 (%3)").arg(name, value, rule); }

QList<Implausible> checkPlausibility(const SettingsImage &image, const QLocale &locale)
{
    QList<Implausible> found;
    for (const Field &f : fieldTable()) {
        for (const Rule &rule : Rules) {
            if (!rule.applies(f))
                continue;
            const QString value = rule.finding(f, image, locale);
            if (value.isEmpty())
                continue;
            QString text = QString::fromUtf8(rule.text);
            if (text.contains(QLatin1String("%1")))
                text = text.arg(f.maxLength);
            found.append({settingOf(f).name(), value, text, f.offset});
        }
    }
    return found;
}
