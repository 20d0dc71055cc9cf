#include "graph/ui/GraphForm.h"

#include "widgets/Dialogs.h"
#include "graph/GraphFiles.h"
#include "graph/ui/ChartPrint.h"
#include "graph/ui/ExportDialog.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/SlipSetupForm.h"
#include "graph/ui/CutLevelSetupForm.h"
#include "graph/ui/RPMSetupForm.h"
#include "graph/ui/TimeSetupForm.h"
#include "graph/ui/WheelSpeedSetupForm.h"

#include <QPrinter>
#include <qcustomplot.h>

void TGraphChart::Load3Execute()
{
    Dialogs::FileRequest req;
    req.filters = {QStringLiteral("DOS Traction file format (*.Dat)"),
                   QStringLiteral("Traction Logged Data File (*.tld)"), QStringLiteral("Any file (*.*)")};
    const QString path = Dialogs::instance().openFile(req, this);
    if (path.isEmpty())
        return;
    const GraphFiles::Kind kind = GraphFiles::kindOf(path);
    if (kind == GraphFiles::Kind::Unknown) {
        Dialogs::instance().message(QStringLiteral("Unable to load file, unknown file type"), this);
        return;
    }
    const GraphFiles::LoadResult r = GraphFiles::load(path, m_channels);
    using R = GraphFiles::LoadResult;
    if (r.status == R::TooShort) {
        Dialogs::instance().message(QStringLiteral("Error"), this);
        return;
    }
    if (r.status == R::Failed) {
        Dialogs::instance().error(r.error, this);
        return;
    }
    if (r.status == R::Ignored)
        return;
    if (kind == GraphFiles::Kind::Dos) {
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
    m_analysis->setCursor2Shown(false);
    QString error;
    const bool printed = ChartPrint::print(m_chart, printer, &error);
    placeCursorLine();
    m_analysis->setCursor2Shown(true);
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
    m_analysis->slipSetup()->fill();
    m_analysis->slipSetup()->exec();
}
