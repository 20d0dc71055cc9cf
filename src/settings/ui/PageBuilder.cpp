#include "settings/ui/PageBuilder.h"

#include "settings/FieldConversions.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/SparkBox.h"
#include "widgets/NumberKeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

PageBuilder::PageBuilder(TAFrame *frame, QHash<QString, QWidget *> &controls, QList<PageHint> &hints)
    : m_frame(frame), m_controls(controls), m_hints(hints)
{
}

const Field &PageBuilder::field(const char *control) const
{
    const Field *f = fieldByControl(QString::fromLatin1(control));
    Q_ASSERT_X(f, "PageBuilder", control);
    return *f;
}

void PageBuilder::add(QWidget *control, const char *name, const char *hint)
{
    const QString objectName = QString::fromLatin1(name);
    control->setObjectName(objectName);
    m_controls.insert(objectName, control);
    if (hint && *hint)
        m_hints.append({control, QString::fromLatin1(hint)});
}

QGroupBox *PageBuilder::group(QWidget *sheet, const QString &caption)
{
    auto *box = new QGroupBox(caption, sheet);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    grid->setColumnStretch(2, 1);
    return box;
}

QGroupBox *PageBuilder::fieldGroup(QWidget *sheet, std::initializer_list<const char *> controls)
{
    QGroupBox *box = group(sheet, QString::fromLatin1(field(*controls.begin()).group));
    auto *grid = static_cast<QGridLayout *>(box->layout());
    for (const char *control : controls)
        addFieldRow(grid, field(control));
    return box;
}

// Name on the left, the box and its unit to the right of it, so that the boxes of a column line up.
void PageBuilder::addFieldRow(QGridLayout *grid, const Field &f)
{
    QWidget *parent = grid->parentWidget();
    const int row = grid->rowCount();
    if (f.form == FieldForm::Flag) {
        auto *box = new QCheckBox(QString::fromLatin1(f.label), parent);
        add(box, f.control, f.hint);
        QObject::connect(box, &QCheckBox::toggled, m_frame, [frame = m_frame, box] { frame->anyChange(box); });
        grid->addWidget(box, row, 0, 1, 3);
        return;
    }
    auto *name = new QLabel(QString::fromLatin1(f.name), parent);
    name->setProperty("pageName", true);
    QWidget *value = f.form == FieldForm::Percent ? sliderBox(f, parent) : editBox(f, parent);
    name->setBuddy(value->focusProxy() ? value->focusProxy() : value);
    grid->addWidget(name, row, 0);
    grid->addWidget(value, row, 1);
}

QWidget *PageBuilder::editBox(const Field &f, QWidget *parent)
{
    auto *holder = new QWidget(parent);
    auto *row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto *edit = new QLineEdit(holder);
    add(edit, f.control, f.hint);
    // Not QLineEdit::maxLength: that would also cut text the program sets.
    edit->setProperty(NumberKeyFilter::LimitProperty, f.maxLength);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    const QString placeholder = f.form == FieldForm::Hundredths ? QStringLiteral("000.00")
                                : f.form == FieldForm::Tenths   ? QStringLiteral("00000.0")
                                                                : QString(f.maxLength, u'0');
    edit->setText(placeholder);
    m_frame->watchKeys(edit);
    edit->setContextMenuPolicy(Qt::DefaultContextMenu);
    QObject::connect(edit, &QLineEdit::textChanged, m_frame, [frame = m_frame, edit] { frame->anyChange(edit); });
    row->addWidget(edit);
    if (*f.unit)
        row->addWidget(new QLabel(QString::fromLatin1(f.unit), holder));
    row->addStretch();
    holder->setFocusProxy(edit);
    return holder;
}

QWidget *PageBuilder::sliderBox(const Field &f, QWidget *parent)
{
    auto *holder = new QWidget(parent);
    auto *row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto *slider = new QSlider(Qt::Horizontal, holder);
    add(slider, f.control, f.hint);
    slider->setRange(0, 100);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setSingleStep(100);
    slider->setPageStep(10);
    slider->setFixedWidth(150);
    slider->installEventFilter(m_frame);
    auto *caption = new QLabel(QStringLiteral("0"), holder);
    add(caption, f.caption);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setFixedWidth(caption->fontMetrics().horizontalAdvance(QStringLiteral("1000")));
    QObject::connect(slider, &QSlider::valueChanged, m_frame,
                     [frame = m_frame, slider, caption] { frame->SliderChange(slider, caption); });
    row->addWidget(slider);
    row->addWidget(caption);
    row->addWidget(new QLabel(QString::fromLatin1(f.unit), holder));
    row->addStretch();
    holder->setFocusProxy(slider);
    return holder;
}

// The row's "Set all to" pair, beside its cells.
void PageBuilder::addSetAllButtons(QBoxLayout *outer, QGroupBox *box, const char *rowName)
{
    for (const CutRowButtons &buttons : cutRowButtons()) {
        if (qstrcmp(buttons.row, rowName) != 0)
            continue;
        auto *setAll = new QVBoxLayout;
        setAll->setSpacing(2);
        setAll->addWidget(new QLabel(QStringLiteral("Set all to"), box), 0, Qt::AlignHCenter);
        auto *pair = new QHBoxLayout;
        pair->setSpacing(4);
        const struct {
            const char *name;
            const char *hint;
            bool spark;
        } sides[] = {{buttons.sparkButton, buttons.sparkHint, true},
                     {buttons.noSparkButton, buttons.noSparkHint, false}};
        for (const auto &side : sides) {
            auto *button = new QToolButton(box);
            add(button, side.name, side.hint);
            button->setIcon(side.spark ? Spark_bitmaps::spark() : Spark_bitmaps::noSpark());
            button->setIconSize({20, 22});
            button->setAccessibleName(side.spark ? QStringLiteral("Spark") : QStringLiteral("No spark"));
            QObject::connect(button, &QToolButton::clicked, m_frame, [frame = m_frame, rowName, spark = side.spark] {
                frame->SetAllClick(QString::fromLatin1(rowName), spark);
            });
            pair->addWidget(button);
        }
        setAll->addLayout(pair);
        outer->addLayout(setAll);
    }
}

QGroupBox *PageBuilder::cutGroup(QWidget *sheet, const char *rowName, const char *groupName, const char *extra)
{
    const Field &row = field(rowName);
    auto *box = new QGroupBox(QString::fromLatin1(row.group), sheet);
    box->setObjectName(QString::fromLatin1(groupName));
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto *outer = new QHBoxLayout(box);
    outer->setContentsMargins(10, 4, 10, 6);
    outer->setSpacing(12);

    auto *left = new QVBoxLayout;
    left->setSpacing(4);
    outer->addLayout(left, 1);
    auto *cells = new QHBoxLayout;
    cells->setSpacing(2);
    for (int k = 1; k <= CellsPerRow; ++k) {
        auto *cell = new SparkBox(k, box->title(), box);
        add(cell, cellControl(row, k).toLatin1().constData());
        QObject::connect(cell, &SparkBox::toggled, m_frame, [frame = m_frame, cell] { frame->anyChange(cell); });
        cells->addWidget(cell);
    }
    cells->addStretch();
    // A row on its own sits level with the set-all buttons rather than with their caption.
    if (!extra)
        left->addStretch();
    left->addLayout(cells);
    if (extra) {
        auto *grid = new QGridLayout;
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(8);
        grid->setColumnStretch(2, 1);
        left->addLayout(grid);
        addFieldRow(grid, field(extra));
    }

    addSetAllButtons(outer, box, rowName);
    return box;
}

QComboBox *PageBuilder::list(const char *name, const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    add(combo, name);
    return combo;
}

void PageBuilder::alignLabels(QWidget *column)
{
    int widest = 0;
    const auto names = column->findChildren<QLabel *>();
    for (QLabel *label : names) {
        if (label->property("pageName").toBool())
            widest = qMax(widest, label->sizeHint().width());
    }
    for (QLabel *label : names) {
        if (label->property("pageName").toBool())
            label->setMinimumWidth(widest);
    }
}
