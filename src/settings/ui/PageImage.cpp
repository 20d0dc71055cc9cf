#include "settings/ui/PageImage.h"

#include "settings/FieldConversions.h"
#include "settings/FieldTable.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace PageImage
{

namespace
{

// The order fields are taken in, both ways: a failing entry leaves every later stage untouched.
enum class Stage { Words, Percents, Flags, Cells };

bool inStage(FieldForm form, Stage stage)
{
    switch (stage) {
    case Stage::Words:
        return form == FieldForm::Hundredths || form == FieldForm::Tenths || form == FieldForm::Whole ||
               form == FieldForm::Integer;
    case Stage::Percents:
        return form == FieldForm::Percent;
    case Stage::Flags:
        return form == FieldForm::Flag;
    case Stage::Cells:
        return form == FieldForm::Cells;
    }
    return false;
}

constexpr Stage Stages[] = {Stage::Words, Stage::Percents, Stage::Flags, Stage::Cells};

// The fields in stage order, both ways; 'visit' returns false to stop the walk there.
template <typename Visit> bool walk(Visit visit)
{
    for (Stage stage : Stages)
        for (const Field &f : fieldTable())
            if (inStage(f.form, stage) && !visit(stage, f))
                return false;
    return true;
}

const Field &rateField()
{
    for (const Field &f : fieldTable())
        if (f.form == FieldForm::RateCode)
            return f;
    Q_UNREACHABLE();
}

template <typename T> T *find(const Controls &controls, const QString &name)
{
    T *control = qobject_cast<T *>(controls.value(name));
    Q_ASSERT_X(control, "PageImage", qPrintable(name));
    return control;
}

template <typename T> T *find(const Controls &controls, const char *name)
{
    return find<T>(controls, QString::fromLatin1(name));
}

QComboBox *sensorList(const Controls &controls, Wheel wheel)
{
    for (const SensorList &sensor : sensorLists()) {
        if (sensor.wheel == wheel)
            return find<QComboBox>(controls, sensor.control);
    }
    return nullptr;
}

// A list choice made here raises no change report.
void choose(QComboBox *list, int position)
{
    list->setCurrentIndex(position);
    if (position < 0)
        list->setEditText(QString());
}

} // namespace

int listPosition(const QWidget *widget)
{
    const auto *list = qobject_cast<const QComboBox *>(widget);
    return list ? list->findText(list->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
}

void fill(const Controls &controls, const SettingsImage &image)
{
    walk([&](Stage stage, const Field &f) {
        switch (stage) {
        case Stage::Words:
            find<QLineEdit>(controls, f.control)->setText(wordToText(f.form, image.word(f.offset)));
            break;
        case Stage::Percents: {
            const int percent = percentFromWord(image.word(f.offset));
            find<QLabel>(controls, f.caption)->setText(QString::number(percent));
            find<QSlider>(controls, f.control)->setValue(percent);
            break;
        }
        case Stage::Flags:
            find<QAbstractButton>(controls, f.control)->setChecked(flagShownOn(image.byte(f.offset)));
            break;
        case Stage::Cells:
            for (int k = 1; k <= CellsPerRow; ++k)
                find<QAbstractButton>(controls, cellControl(f, k))
                    ->setChecked(cellShownSpark(image.byte(f.offset + k - 1)));
            break;
        }
        return true;
    });
    // A wheel named by several channels ends on the highest; one named by none keeps its choice.
    for (int n = 0; n < ChannelCount; ++n) {
        const Wheel wheel =
            wheelOfChannel(image.byte(channelFrontOffset(n)), image.byte(channelLeftOffset(n)));
        choose(sensorList(controls, wheel), n);
    }
    const Field &rate = rateField();
    choose(find<QComboBox>(controls, rate.control), ratePositionFromCode(image.word(rate.offset)));
}

bool copy(const Controls &controls, SettingsImage &image, QString &error)
{
    const bool converted = walk([&](Stage stage, const Field &f) {
        switch (stage) {
        case Stage::Words:
        case Stage::Percents: {
            const WordParse parsed = stage == Stage::Words
                                         ? textToWord(f.form, find<QLineEdit>(controls, f.control)->text())
                                         : percentCaptionToWord(find<QLabel>(controls, f.caption)->text());
            if (!parsed.ok) {
                error = parsed.error;
                return false;
            }
            image.setWord(f.offset, parsed.word);
            break;
        }
        case Stage::Flags:
            image.setByte(f.offset, flagByte(find<QAbstractButton>(controls, f.control)->isChecked()));
            break;
        case Stage::Cells:
            for (int k = 1; k <= CellsPerRow; ++k)
                image.setByte(f.offset + k - 1,
                              cellByte(find<QAbstractButton>(controls, cellControl(f, k))->isChecked()));
            break;
        }
        return true;
    });
    if (!converted)
        return false;
    // Wheels in list order: a channel chosen twice ends with the later wheel's flags.
    for (const SensorList &sensor : sensorLists()) {
        const int n = channelFromText(find<QComboBox>(controls, sensor.control)->currentText());
        if (n < 0)
            continue;
        const ChannelFlags flags = channelFlagsOf(sensor.wheel);
        image.setByte(channelFrontOffset(n), flags.front);
        image.setByte(channelLeftOffset(n), flags.left);
    }
    const Field &rate = rateField();
    image.setWord(rate.offset, rateCodeFromPosition(listPosition(find<QComboBox>(controls, rate.control))));
    return true;
}

} // namespace PageImage
