#include "settings/ui/PageImage.h"

#include "settings/FieldConversions.h"
#include "settings/FieldTable.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace PageImage {

namespace {

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

// A list choice made here raises no change report.
void choose(QComboBox *list, int position)
{
    list->setCurrentIndex(position);
    if (position < 0)
        list->setEditText(QString());
}

// A channel list shows an item or, typed by the user, any text; only a change is set.
void showChannel(QComboBox *list, const QString &text)
{
    if (list->currentText() == text)
        return;
    const int position = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (position >= 0)
        choose(list, position);
    else
        list->setEditText(text);
}

}  // namespace

int listPosition(const QWidget *widget)
{
    const auto *list = qobject_cast<const QComboBox *>(widget);
    return list ? list->findText(list->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
}

PageValues read(const Controls &controls)
{
    PageValues values;
    for (const Field &f : fieldTable()) {
        switch (f.form) {
        case FieldForm::Hundredths:
        case FieldForm::Tenths:
        case FieldForm::Whole:
        case FieldForm::Integer:
            values.setText(QLatin1String(f.control), find<QLineEdit>(controls, f.control)->text());
            break;
        case FieldForm::Percent:
            values.setText(QLatin1String(f.caption), find<QLabel>(controls, f.caption)->text());
            break;
        case FieldForm::Flag:
            values.setChecked(QLatin1String(f.control), find<QAbstractButton>(controls, f.control)->isChecked());
            break;
        case FieldForm::Cells:
            for (int k = 1; k <= CellsPerRow; ++k)
                values.setCell(QLatin1String(f.control), k,
                               find<QAbstractButton>(controls, cellControl(f, k))->isChecked());
            break;
        case FieldForm::RateCode: values.setRatePosition(listPosition(find<QComboBox>(controls, f.control))); break;
        case FieldForm::ChannelFlag:
        case FieldForm::Carried: break;
        }
    }
    for (const SensorList &sensor : sensorLists())
        values.setChannel(sensor.wheel, find<QComboBox>(controls, sensor.control)->currentText());
    return values;
}

void show(const Controls &controls, const PageValues &values)
{
    for (const Field &f : fieldTable()) {
        switch (f.form) {
        case FieldForm::Hundredths:
        case FieldForm::Tenths:
        case FieldForm::Whole:
        case FieldForm::Integer:
            find<QLineEdit>(controls, f.control)->setText(values.text(QLatin1String(f.control)));
            break;
        case FieldForm::Percent: {
            // the caption first, then the slider to the same number
            const QString caption = values.text(QLatin1String(f.caption));
            find<QLabel>(controls, f.caption)->setText(caption);
            find<QSlider>(controls, f.control)->setValue(caption.toInt());
            break;
        }
        case FieldForm::Flag:
            find<QAbstractButton>(controls, f.control)->setChecked(values.checked(QLatin1String(f.control)));
            break;
        case FieldForm::Cells: {
            const QString cells = values.cells(QLatin1String(f.control));
            for (int k = 1; k <= CellsPerRow; ++k)
                find<QAbstractButton>(controls, cellControl(f, k))->setChecked(cells.at(k - 1) == u'1');
            break;
        }
        case FieldForm::RateCode: choose(find<QComboBox>(controls, f.control), values.ratePosition()); break;
        case FieldForm::ChannelFlag:
        case FieldForm::Carried: break;
        }
    }
    for (const SensorList &sensor : sensorLists())
        showChannel(find<QComboBox>(controls, sensor.control), values.channel(sensor.wheel));
}

void fill(const Controls &controls, const SettingsImage &image)
{
    // A wheel that no channel names keeps the choice the pages show.
    PageValues values = read(controls);
    values.fill(image);
    show(controls, values);
}

bool copy(const Controls &controls, SettingsImage &image, QString &error)
{
    if (const std::optional<QString> failed = read(controls).copyTo(image)) {
        error = *failed;
        return false;
    }
    return true;
}

}  // namespace PageImage
