#include "graph/ui/SlipSetupForm.h"

#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SlipTrace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

TSlipSetup::TSlipSetup(TGraphChart *graph, QWidget *parent)
    : SetupForm(graph, {"SlipSetup", "Slip Setup", "%", "50", &Navigation::Axes::slip, OneTrace<Trace::Slip>}, parent)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    const int line = grid->rowCount();
    auto *label = new QLabel(QStringLiteral("Driven axle"), this);
    DrivenAxle = new QComboBox(this);
    DrivenAxle->setObjectName(QStringLiteral("DrivenAxle"));
    DrivenAxle->setAccessibleName(label->text());
    label->setBuddy(DrivenAxle);
    DrivenAxle->addItems({QStringLiteral("Rear"), QStringLiteral("Front")});  // in the order of Axle, reversed
    grid->addWidget(label, line, 0);
    grid->addWidget(DrivenAxle, line, 1);
    connect(DrivenAxle, &QComboBox::activated, this,
            [this](int i) { m_graph->analysis().slipTrace().setDriven(i == 1 ? Axle::Front : Axle::Rear); });
    addCancel();
}

void TSlipSetup::showEvent(QShowEvent *e)
{
    m_drivenBefore = m_graph->analysis().slipTrace().driven();
    DrivenAxle->setCurrentIndex(m_drivenBefore == Axle::Front ? 1 : 0);
    findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(true);
    SetupForm::showEvent(e);
}

void TSlipSetup::cancelled() { m_graph->analysis().slipTrace().setDriven(m_drivenBefore); }
