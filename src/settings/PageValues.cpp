#include "settings/PageValues.h"

#include "settings/FieldConversions.h"

namespace {

QString offsetsOf(const Field &f)
{
    if (f.size == 1)
        return QString::number(f.offset);
    return QStringLiteral("%1-%2").arg(f.offset).arg(f.offset + f.size - 1);
}

}  // namespace

PageValues::PageValues()
{
    for (const Field &f : fieldTable()) {
        if (f.form == FieldForm::Cells)
            m_cells.insert(QLatin1String(f.control), QString(CellsPerRow, QLatin1Char('1')));
    }
}

PageValues PageValues::afterStartup(const QLocale &locale)
{
    PageValues pages;
    pages.fill(SettingsImage::defaults(), locale);
    return pages;
}

void PageValues::setCell(const QString &row, int k, bool spark)
{
    QString &cells = m_cells[row];
    if (k >= 1 && k <= cells.size())
        cells[k - 1] = QLatin1Char(cellByte(spark));
}

void PageValues::fill(const SettingsImage &image, const QLocale &locale)
{
    for (const Field &f : fieldTable()) {
        const QString control = QLatin1String(f.control);
        if (isEditForm(f.form)) {
            m_texts.insert(control, wordToText(f.form, image.word(f.offset), locale));
        } else if (f.form == FieldForm::Percent) {
            m_texts.insert(QLatin1String(f.caption), QString::number(percentFromWord(image.word(f.offset))));
        } else if (f.form == FieldForm::Flag) {
            m_checks.insert(control, flagShownOn(image.byte(f.offset)));
        } else if (f.form == FieldForm::Cells) {
            QString cells(CellsPerRow, QLatin1Char('0'));
            for (int k = 0; k < CellsPerRow; ++k)
                cells[k] = QLatin1Char(cellByte(cellShownSpark(image.byte(f.offset + k))));
            m_cells.insert(control, cells);
        } else if (f.form == FieldForm::RateCode) {
            m_ratePosition = ratePositionFromCode(image.word(f.offset));
        }
    }
    // A wheel named by several channels ends on the highest; one named by none keeps its choice.
    for (int n = 0; n < ChannelCount; ++n) {
        const Wheel wheel = wheelOfChannel(image.byte(channelFrontOffset(n)), image.byte(channelLeftOffset(n)));
        m_channels[int(wheel)] = channelItems()[n];
    }
}

std::optional<QString> PageValues::copyTo(SettingsImage &image, const QLocale &locale) const
{
    const auto table = fieldTable();
    for (const Field &f : table) {
        if (!isEditForm(f.form))
            continue;
        const WordParse r = textToWord(f.form, text(QLatin1String(f.control)), locale);
        if (!r.ok)
            return r.error;
        image.setWord(f.offset, r.word);
    }
    for (const Field &f : table) {
        if (f.form != FieldForm::Percent)
            continue;
        const WordParse r = percentCaptionToWord(text(QLatin1String(f.caption)));
        if (!r.ok)
            return r.error;
        image.setWord(f.offset, r.word);
    }
    for (const Field &f : table) {
        if (f.form == FieldForm::Flag)
            image.setByte(f.offset, flagByte(checked(QLatin1String(f.control))));
    }
    for (const Field &f : table) {
        if (f.form != FieldForm::Cells)
            continue;
        const QString row = cells(QLatin1String(f.control));
        for (int k = 0; k < CellsPerRow; ++k)
            image.setByte(f.offset + k, cellByte(k < row.size() && row[k] == QLatin1Char('1')));
    }
    // Later wheels win a channel chosen twice; a list without a valid choice writes nothing.
    for (const SensorList &list : sensorLists()) {
        const int n = channelFromText(channel(list.wheel));
        if (n < 0)
            continue;
        const ChannelFlags flags = channelFlagsOf(list.wheel);
        image.setByte(channelFrontOffset(n), flags.front);
        image.setByte(channelLeftOffset(n), flags.left);
    }
    if (const Field *rate = fieldByControl(u"Sample_Rate"))
        image.setWord(rate->offset, rateCodeFromPosition(m_ratePosition));
    return std::nullopt;
}

namespace {
QString shownLabel(const Field &f)
{
    const QString group = QString::fromLatin1(f.group).trimmed();
    const QString name = QString::fromLatin1(f.name).trimmed();
    if (group.isEmpty() || name.isEmpty())
        return group + name;
    return group + QStringLiteral(": ") + name;
}
}  // namespace

QList<PageValues::Shown> PageValues::shown() const
{
    QList<Shown> lines;
    bool listsDone = false;
    auto addLists = [&] {
        for (const SensorList &list : sensorLists()) {
            const QString text = channel(list.wheel);
            const int n = channelFromText(text);
            const QString offsets =
                n < 0 ? QString() : QStringLiteral("%1/%2").arg(channelFrontOffset(n)).arg(channelLeftOffset(n));
            lines.append({Shown::List,
                          QLatin1String(list.control),
                          offsets,
                          text,
                          {},
                          QLatin1String(sheetCaption(Sheet::Wheels)),
                          QLatin1String(list.label)});
        }
        listsDone = true;
    };
    for (const Field &f : fieldTable()) {
        const QString control = QLatin1String(f.control);
        const QString unit = QLatin1String(f.unit);
        if (isEditForm(f.form)) {
            lines.append({Shown::Text, control, offsetsOf(f), text(control), unit});
        } else if (f.form == FieldForm::Percent) {
            const QString caption = QLatin1String(f.caption);
            lines.append({Shown::Text, caption, offsetsOf(f), text(caption), unit});
        } else if (f.form == FieldForm::Flag) {
            lines.append({Shown::Check, control, offsetsOf(f),
                          checked(control) ? QStringLiteral("true") : QStringLiteral("false"), unit});
        } else if (f.form == FieldForm::Cells) {
            lines.append({Shown::Row, control, offsetsOf(f), cells(control), unit});
        } else if (f.form == FieldForm::ChannelFlag && !listsDone) {
            addLists();
        } else if (f.form == FieldForm::RateCode) {
            const QString item = m_ratePosition >= 0 && m_ratePosition < RateCount ? rateItems()[m_ratePosition]
                                                                                   : QString();
            lines.append({Shown::List, control, offsetsOf(f), item, unit});
        } else {
            continue;
        }
        if (lines.last().page.isEmpty()) {
            lines.last().page = QLatin1String(sheetCaption(f.sheet));
            lines.last().label = shownLabel(f);
        }
    }
    return lines;
}
