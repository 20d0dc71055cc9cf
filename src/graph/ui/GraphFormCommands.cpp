#include "graph/ui/GraphForm.h"

#include "widgets/Dialogs.h"
#include "graph/GraphFiles.h"
#include "graph/ui/ChartCanvas.h"
#include "graph/ui/ChartPrint.h"
#include "graph/ui/ExportDialog.h"
#include "graph/ui/GraphFileOpen.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/SlipSetupForm.h"
#include "graph/ui/SlipTrace.h"
#include "graph/ui/CutLevelSetupForm.h"
#include "graph/ui/RPMSetupForm.h"
#include "graph/ui/TimeSetupForm.h"
#include "graph/ui/WheelSpeedSetupForm.h"
#include "runs/RunsLibrary.h"

#include <QPrinter>
#include <qcustomplot.h>

void TGraphChart::Load3Execute()
{
    const QString path = GraphFileOpen::ask(this);
    if (path.isEmpty())
        return;
    const GraphFiles::LoadResult r = GraphFileOpen::load(path, m_channels, this);
    if (r.status != GraphFiles::LoadResult::Loaded)
        return;
    std::optional<double> recorded;
    if (const auto record = recordBeside(path); record && record->secondsPerSample > 0)
        recorded = record->secondsPerSample;
    emit fileLoaded(recorded);
    if (GraphFiles::kindOf(path) == GraphFiles::Kind::Dos) {
        m_nav.axes.time = AxisRange::rule(0, double(r.samples));
        applyAxes();
        DisplayCursorValues();
    } else {
        // a header maximum of 0 would give a useless axis: that axis keeps its range
        if (r.wheelMax && *r.wheelMax)
            m_nav.axes.wheel = AxisRange::rule(0, *r.wheelMax);
        if (r.rpmMax && *r.rpmMax)
            m_nav.axes.rpm = AxisRange::rule(0, *r.rpmMax);
        m_nav.axes.time = {0, double(r.samples)};
        applyAxes();
    }
}

Dialogs::FileRequest TGraphChart::saveRequest()
{
    Dialogs::FileRequest req;
    req.filters = {QStringLiteral("Traction Data File (*.dat)"), QStringLiteral("Any File (*.*)")};
    // Replacing asks nothing: the old file is kept as its backup.
    req.confirmOverwrite = false;
    return req;
}

void TGraphChart::Save3Execute()
{
    Dialogs::FileRequest req = saveRequest();
    const QString chosen = Dialogs::instance().saveFile(req, this);
    if (chosen.isEmpty())
        return;
    // the backup guards the file actually written, ".dat" included
    const QString path = GraphFiles::savedName(chosen, req.filterIndex);
    if (!GraphFiles::backupExisting(path)) {
        Dialogs::instance().error(QString::fromLatin1(GraphFiles::BackupError), this);
        return;
    }
    QString error;
    if (!GraphFiles::saveDos(path, m_channels, &error))
        Dialogs::instance().error(error, this);
}

void TGraphChart::Print3Execute()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!Dialogs::instance().print(printer, this))
        return;
    m_cursorLine->setVisible(false);
    emit printing(true);
    QString error;
    const bool printed = ChartPrint::print(m_chart, printer, &error);
    placeCursorLine();
    emit printing(false);
    m_chart->replot();
    if (!printed)
        Dialogs::instance().error(error, this);
}

void TGraphChart::Export3Execute()
{
    TExportDialog dialog(this);
    dialog.exec();
}

void TGraphChart::RPMSetup1Execute()
{
    m_rpmSetup->fill();
    m_rpmSetup->exec();
}

void TGraphChart::WS_Setup1Execute()
{
    m_wheelSetup->fill();
    m_wheelSetup->exec();
}

void TGraphChart::CutLevelSetup1Execute()
{
    m_cutSetup->fill();
    m_cutSetup->exec();
}

void TGraphChart::TimeSetup1Execute() { m_timeSetup->exec(); }

void TGraphChart::SlipSetup1Execute()
{
    TSlipSetup *setup = m_analysis->slipTrace().setup();
    setup->fill();
    setup->exec();
}
