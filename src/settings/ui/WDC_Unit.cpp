#include "settings/ui/WDC_Unit.h"

#include "widgets/Dialogs.h"
#include "widgets/NumberKeyFilter.h"
#include "settings/WheelDiameter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *addList(QWidget *owner, QHBoxLayout *row, const char *name, const char *group, const char *placeholder,
                   const QStringList &items)
{
    auto *box = new QGroupBox(QString::fromLatin1(group), owner);
    auto *layout = new QVBoxLayout(box);
    auto *list = new QComboBox(box);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(box->title().trimmed());
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItems(items);
    list->lineEdit()->setPlaceholderText(QString::fromLatin1(placeholder));
    list->setMinimumContentsLength(8);
    layout->addWidget(list);
    row->addWidget(box);
    return list;
}

QStringList steps(int from, int to, int step)
{
    QStringList items;
    for (int v = from; v <= to; v += step)
        items << QString::number(v);
    return items;
}

// The item the list's text names; -1 for a typed text that is none of them.
int positionOf(const QComboBox *list) { return list->findText(list->currentText(), Qt::MatchExactly); }

void select(QComboBox *list, quint8 position)
{
    list->setCurrentIndex(position < list->count() ? position : -1);
    if (position >= list->count())
        list->setEditText(QString());
}

}  // namespace

TWDC::TWDC(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WDC"));
    setWindowTitle(QStringLiteral("Wheel Diameter Calculation"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral(" Values obtained from tyre wall "), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(group);
    Wheel_Width = addList(group, row, "Wheel_Width", " Width (mm)", "Select Width", steps(145, 335, 10));
    Wheel_Height = addList(group, row, "Wheel_Height", " Height (%)", "Select Height", steps(30, 85, 5));
    Wheel_Radius = addList(group, row, "Wheel_Radius", " Radius (inches)", "Select Radius",
                           {"12", "13", "14", "15", "16", "16.5", "17", "18", "19", "19.5", "20", "21", "22", "23"});
    outer->addWidget(group);
    // The lists take typed sizes as well, by the same rule as the settings boxes.
    auto *keys = new NumberKeyFilter(this);
    for (QComboBox *list : {Wheel_Width, Wheel_Height, Wheel_Radius})
        keys->watch(list);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    WDC_Ok_Btn = new QPushButton(QStringLiteral("&Ok"), this);
    WDC_Ok_Btn->setObjectName(QStringLiteral("WDC_Ok_Btn"));
    WDC_Ok_Btn->setDefault(true);
    WDC_Cancel_Btn = new QPushButton(QStringLiteral("&Cancel"), this);
    WDC_Cancel_Btn->setObjectName(QStringLiteral("WDC_Cancel_Btn"));
    buttons->addWidget(WDC_Ok_Btn);
    buttons->addWidget(WDC_Cancel_Btn);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(WDC_Ok_Btn, &QPushButton::clicked, this, &QDialog::accept);
    connect(WDC_Cancel_Btn, &QPushButton::clicked, this, &TWDC::WDC_Cancel_BtnClick);
}

void TWDC::WDC_Cancel_BtnClick() { reject(); }

void TWDC::showEvent(QShowEvent *event)
{
    FormActivate();
    QDialog::showEvent(event);
}

// Placed at a fixed spot over the main window. Done when shown rather than on every
// activation, so that a dialog the user moved aside stays where it was put.
void TWDC::FormActivate()
{
    if (QWidget *owner = parentWidget())
        move(owner->window()->frameGeometry().topLeft() + QPoint(221, 190));
}

bool TWDC::Calculate(TyreChoice &remembered, QLineEdit *diameter, QLabel *sizeCaption)
{
    select(Wheel_Width, remembered.width);
    select(Wheel_Height, remembered.height);
    select(Wheel_Radius, remembered.radius);
    if (exec() != QDialog::Accepted) {
        diameter->setFocus();
        return false;
    }

    const QLocale locale;
    const auto whole = [](const QComboBox *list, int &value) {
        bool ok = false;
        value = list->currentText().toInt(&ok);
        if (!ok)
            Dialogs::instance().error(QStringLiteral("'%1' is not a valid integer value").arg(list->currentText()));
        return ok;
    };
    int width = 0;
    int height = 0;
    if (!whole(Wheel_Width, width) || !whole(Wheel_Height, height))
        return false;
    const auto rim = WheelDiameter::parseDecimal(Wheel_Radius->currentText(), locale);
    if (!rim) {
        Dialogs::instance().error(
            QStringLiteral("'%1' is not a valid floating point value").arg(Wheel_Radius->currentText()));
        return false;
    }

    diameter->setText(QString::number(WheelDiameter::diameterMm(width, height, *rim)));
    remembered = {quint8(positionOf(Wheel_Width)), quint8(positionOf(Wheel_Height)), quint8(positionOf(Wheel_Radius))};
    sizeCaption->setText(WheelDiameter::sizeCaption(width, height, *rim, locale));
    diameter->setFocus();
    return true;
}
