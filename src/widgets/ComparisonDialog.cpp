#include "widgets/ComparisonDialog.h"

#include "widgets/ComparisonView.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ComparisonDialog::ComparisonDialog(const Dialogs::Comparison &request, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComparisonDialog"));
    setWindowTitle(request.title);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(Dialogs::shownText(request.text), this);
    text->setObjectName(QStringLiteral("ComparisonText"));
    text->setWordWrap(true);
    layout->addWidget(text);

    m_view = new ComparisonView(this);
    m_view->setChanges(request.changes);
    m_view->setVisible(!request.changes.isEmpty());
    text->setBuddy(m_view);
    layout->addWidget(m_view, 1);

    if (request.offerDontShow) {
        m_dontShow = new QCheckBox(QStringLiteral("Don't show again"), this);
        m_dontShow->setObjectName(QStringLiteral("DontShowAgain"));
        m_dontShow->setAccessibleName(m_dontShow->text());
        m_dontShow->setChecked(request.dontShowAgain);
        layout->addWidget(m_dontShow);
    }

    auto *buttons = new QDialogButtonBox(request.confirm ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                         : QDialogButtonBox::Close,
                                         this);
    for (QAbstractButton *button : buttons->buttons())
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Cancel, not OK, is what Enter presses when the user only glanced at the list.
    if (request.confirm)
        buttons->button(QDialogButtonBox::Cancel)->setDefault(true);
    else
        buttons->button(QDialogButtonBox::Close)->setDefault(true);
    resize(qMax(sizeHint().width(), 560), sizeHint().height());
}
