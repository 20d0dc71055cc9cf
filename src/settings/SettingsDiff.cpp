#include "settings/SettingsDiff.h"

#include "settings/FieldConversions.h"

namespace {

const char *const WheelNames[] = {"front left", "front right", "rear left", "rear right"};

bool isLeftFlag(const Field &f) { return f.form == FieldForm::ChannelFlag && f.offset >= channelLeftOffset(0); }

// The bytes one entry covers: a channel stands for both its flags.
bool sameBytes(const Field &f, const SettingsImage &a, const SettingsImage &b)
{
    if (f.form == FieldForm::ChannelFlag) {
        const int left = f.offset + channelLeftOffset(0) - channelFrontOffset(0);
        return a.byte(f.offset) == b.byte(f.offset) && a.byte(left) == b.byte(left);
    }
    for (int i = f.offset; i < f.offset + f.size; ++i)
        if (a.byte(i) != b.byte(i))
            return false;
    return true;
}

QString rawBytes(const Field &f, const SettingsImage &image)
{
    if (f.form == FieldForm::ChannelFlag)
        return hexBytes(image, f.offset, 1) + QLatin1Char('/') +
               hexBytes(image, f.offset + channelLeftOffset(0) - channelFrontOffset(0), 1);
    return hexBytes(image, f.offset, f.size);
}

}  // namespace

SettingChange settingOf(const Field &f)
{
    SettingChange c;
    c.page = QString::fromLatin1(sheetCaption(f.sheet)).trimmed();
    c.group = QString::fromLatin1(f.group).trimmed();
    c.label = QString::fromLatin1(f.name);
    c.unit = QString::fromLatin1(f.unit);
    c.offset = f.offset;
    c.size = f.size;
    switch (f.form) {
    case FieldForm::Cells:
        c.label = c.group;
        c.group.clear();
        c.pattern = true;
        break;
    case FieldForm::ChannelFlag: c.label = QString::fromLatin1(f.control); break;
    case FieldForm::Carried:
        c.label = f.size == 1 ? QStringLiteral("Byte %1").arg(f.offset)
                              : QStringLiteral("Bytes %1-%2").arg(f.offset).arg(f.offset + f.size - 1);
        break;
    default: break;
    }
    return c;
}

QString hexBytes(const SettingsImage &image, int offset, int size)
{
    QString out;
    for (int i = offset; i < offset + size; ++i) {
        if (i > offset)
            out += QLatin1Char(' ');
        out += QStringLiteral("%1").arg(image.byte(i), 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

QString shownValue(const Field &f, const SettingsImage &image, const QLocale &locale)
{
    switch (f.form) {
    case FieldForm::Hundredths:
    case FieldForm::Tenths:
    case FieldForm::Whole:
    case FieldForm::Integer: return wordToText(f.form, image.word(f.offset), locale);
    case FieldForm::Percent: return QString::number(percentFromWord(image.word(f.offset)));
    case FieldForm::Flag: return flagShownOn(image.byte(f.offset)) ? QStringLiteral("on") : QStringLiteral("off");
    case FieldForm::ChannelFlag: {
        const int left = f.offset + channelLeftOffset(0) - channelFrontOffset(0);
        return QLatin1String(WheelNames[int(wheelOfChannel(image.byte(f.offset), image.byte(left)))]);
    }
    case FieldForm::Cells: {
        QString cells(f.size, QLatin1Char('0'));
        for (int k = 0; k < f.size; ++k)
            cells[k] = QLatin1Char(cellByte(cellShownSpark(image.byte(f.offset + k))));
        return cells;
    }
    case FieldForm::RateCode: {
        const int position = ratePositionFromCode(image.word(f.offset));
        return position < 0 ? QString() : rateItems()[position];
    }
    case FieldForm::Carried: break;
    }
    return hexBytes(image, f.offset, f.size);
}

QList<SettingChange> compareImages(const SettingsImage &before, const SettingsImage &after, const QLocale &locale)
{
    QList<SettingChange> changes;
    for (const Field &f : fieldTable()) {
        // A channel is one entry, made at its front flag.
        if (isLeftFlag(f) || sameBytes(f, before, after))
            continue;
        SettingChange c = settingOf(f);
        c.before = shownValue(f, before, locale);
        c.after = shownValue(f, after, locale);
        if (c.before == c.after) {
            // Bytes the pages would show alike: the raw values tell them apart.
            if (c.pattern) {
                c.pattern = false;
                c.before = rawBytes(f, before);
                c.after = rawBytes(f, after);
            } else if (f.form != FieldForm::Carried) {
                c.before += QStringLiteral(" (%1)").arg(rawBytes(f, before));
                c.after += QStringLiteral(" (%1)").arg(rawBytes(f, after));
            }
        }
        changes.append(c);
    }
    return changes;
}

QString SettingChange::name() const
{
    QStringList parts;
    for (const QString &part : {page.isEmpty() ? QStringLiteral("Not shown") : page, group, label})
        if (!part.isEmpty())
            parts << part;
    return parts.join(QStringLiteral(" / "));
}

QString SettingChange::line() const
{
    const auto shown = [](const QString &v) { return v.isEmpty() ? QStringLiteral("(none)") : v; };
    QString text = QStringLiteral("%1: %2 -> %3").arg(name(), shown(before), shown(after));
    if (!unit.isEmpty())
        text += QLatin1Char(' ') + unit;
    return text;
}
