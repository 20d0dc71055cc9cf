#include "settings/ui/MainFrame.h"

#include "widgets/Dialogs.h"
#include "widgets/NumberKeyFilter.h"
#include "settings/FieldTable.h"
#include "settings/LogTime.h"
#include "settings/ui/PageImage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

TAFrame::TAFrame(QWidget *parent)
    : QFrame(parent),
      m_keyFilter(new NumberKeyFilter(this, [this](QLineEdit *edit, QChar &key) { anyKeyPress(edit, key); }))
{
    setObjectName(QStringLiteral("Frame1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(false);
    PageControl1->setIconSize({16, 16});
    layout->addWidget(PageControl1);
    PageBuilder(this, m_controls, m_hints).buildSheets(PageControl1);
    PageControl1->setCurrentIndex(0);
}

void TAFrame::FillPagesFromImage(const SettingsImage &image)
{
    PageImage::fill(m_controls, image);
    Sample_RateChange();
}

bool TAFrame::CopyPagesToImage(SettingsImage &image)
{
    QString error;
    if (PageImage::copy(m_controls, image, error))
        return true;
    Dialogs::instance().error(error, this);
    return false;
}

PageValues TAFrame::ShownValues() const { return PageImage::read(m_controls); }

void TAFrame::ShowValues(const PageValues &values)
{
    PageImage::show(m_controls, values);
    Sample_RateChange();
}

void TAFrame::SetModified(bool modified)
{
    const bool changed = modified != m_modified;
    m_modified = modified;
    emit modifiedText(modified ? QStringLiteral("Modified") : QString());
    if (changed)
        emit modifiedChanged(modified);
}

void TAFrame::anyChange(QObject *sender)
{
    SetModified(true);
    emit pagesChanged(sender);
}

void TAFrame::AssignHints()
{
    for (const PageHint &hint : m_hints) {
        const QString text = Dialogs::shownText(hint.text);
        const int tab = PageControl1->indexOf(hint.control);
        if (tab >= 0)
            PageControl1->setTabToolTip(tab, text);
        else
            hint.control->setToolTip(text);
    }
}

void TAFrame::anyKeyPress(QObject *sender, QChar &key)
{
    const auto *edit = qobject_cast<const QLineEdit *>(sender);
    if (!edit || !NumberKeyFilter::accepts(key, edit->text()))
        key = QChar();
}

void TAFrame::watchKeys(QLineEdit *edit) { m_keyFilter->watch(edit); }

bool TAFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && qobject_cast<QSlider *>(watched)) {
        // A step is 100: scrolling past a slider would throw it to an end.
        event->ignore();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void TAFrame::SliderChange(QSlider *slider, QLabel *caption)
{
    caption->setText(QString::number(slider->value()));
    anyChange(slider);
}

void TAFrame::SetAllClick(const QString &row, bool spark)
{
    for (int k = 1; k <= CellsPerRow; ++k) {
        if (auto *box = qobject_cast<QAbstractButton *>(control(row + u'_' + QString::number(k))))
            box->setChecked(spark);
    }
    anyChange(sender());
}

void TAFrame::Sample_RateChange()
{
    const QString caption = LogTime::caption(PageImage::listPosition(control(QStringLiteral("Sample_Rate"))));
    if (!caption.isEmpty())
        static_cast<QLabel *>(control(QStringLiteral("Total_log_time")))->setText(caption);
    anyChange(control(QStringLiteral("Sample_Rate")));
}

TWDC *TAFrame::WDC()
{
    if (!m_wdc)
        m_wdc = new TWDC(window());
    return m_wdc;
}

void TAFrame::calculate(TyreChoice &remembered, const char *diameter, const char *caption)
{
    WDC()->Calculate(remembered, static_cast<QLineEdit *>(control(QString::fromLatin1(diameter))),
                     static_cast<QLabel *>(control(QString::fromLatin1(caption))));
}

void TAFrame::Driven_Dia_CalcClick() { calculate(DrivenTyre, "Wh_Driven_Dia", "Drivern_label"); }

void TAFrame::Reference_Dia_CalcClick() { calculate(ReferenceTyre, "Wh_Reference_Dia", "Reference_label"); }
