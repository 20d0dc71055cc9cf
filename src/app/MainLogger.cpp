// The main window's part of the data logger: its two buttons and the upload's way into the graph.
#include "app/Main.h"

#include "app/MainBars.h"
#include "app/MainRuns.h"
#include "graph/LogImage.h"
#include "graph/ui/GraphForm.h"
#include "link/LoggerSequences.h"
#include "platform/RegistryRoutinesUnit.h"
#include "settings/ui/MainFrame.h"
#include "widgets/AskFirst.h"

#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr RegistryValue AskBeforeClear{"\\Options", "AskBeforeClearRam", RegistryValue::Type::Boolean, 1};
constexpr const char *ClearQuestion = "Clear the unit's logger memory? A run not yet read is lost.";

}  // namespace

void TForm1::connectLoggerButtons()
{
    m_askClear = new AskFirst(m_options, m_bars->optionsMenu(), QStringLiteral("Ask before &Clearing the Logger"),
                              "AskBeforeClearRam1", AskBeforeClear, this);
    connect(frame1()->DL_UploadBtn, &QPushButton::clicked, this, &TForm1::Frame1DL_UploadBtnClick);
    connect(frame1()->DL_Clear_Ram, &QPushButton::clicked, this, &TForm1::DL_Clear_RamClick);
    QPushButton *cancel = m_statusBar->cancelButton();
    connect(cancel, &QPushButton::clicked, this, [this, cancel] {
        if (m_link->logger().cancelUpload())
            cancel->setEnabled(false);  // the rest of the memory is still to be let go
    });
}

void TForm1::Frame1DL_UploadBtnClick() { DL_UploadBtnClick(); }

// The page's buttons stay usable during an exchange, as the pages do; the link refuses a second one.
void TForm1::DL_UploadBtnClick()
{
    m_link->whenFree(Exchange::Upload, [this] {
        const QPointer<MainStatusBar> bar = m_statusBar;
        bar->offerCancel(true);
        m_link->UploadLog();
        if (bar)  // gone when the window was closed during the upload
            bar->offerCancel(false);
    });
}

void TForm1::DL_Clear_RamClick()
{
    m_link->whenFree(Exchange::Clear, [this] {
        if (m_askClear->confirm(QLatin1String(ClearQuestion), this))
            m_link->ClearLog();
    });
}

void TForm1::logImageUploaded(const QByteArray &logImage)
{
    if (!LogImage::plot(logImage, m_graph->channels()))
        return;
    m_graph->navigation().axes.time = AxisRange::rule(0, LogImage::Samples);
    m_graph->applyAxes();
    m_runs->uploaded(logImage);
}
