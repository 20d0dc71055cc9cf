// The main window's part of the data logger: its two buttons and the upload's way into the graph.
#include "app/Main.h"

#include "app/ExchangeLock.h"
#include "app/MainRuns.h"
#include "graph/LogImage.h"
#include "graph/ui/GraphForm.h"
#include "settings/ui/MainFrame.h"

#include <QPushButton>

void TForm1::connectLoggerButtons()
{
    connect(frame1()->DL_UploadBtn, &QPushButton::clicked, this, &TForm1::Frame1DL_UploadBtnClick);
    connect(frame1()->DL_Clear_Ram, &QPushButton::clicked, this, &TForm1::DL_Clear_RamClick);
}

void TForm1::Frame1DL_UploadBtnClick() { DL_UploadBtnClick(); }

// The page's buttons are not part of the exchange lock (the pages stay usable during an exchange),
// so a click while one runs would start a second exchange inside the first one's wait.
void TForm1::DL_UploadBtnClick()
{
    if (!m_lock->locked())
        m_link->UploadLog();
}

void TForm1::DL_Clear_RamClick()
{
    if (!m_lock->locked())
        m_link->ClearLog();
}

void TForm1::logImageUploaded(const QByteArray &logImage)
{
    if (!LogImage::plot(logImage, m_graph->channels()))
        return;
    m_graph->navigation().axes.time = AxisRange::rule(0, LogImage::Samples);
    m_graph->applyAxes();
    m_runs->uploaded(logImage);
}
