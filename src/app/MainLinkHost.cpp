// What the command sequences see of the main window: the progress bar, the message timer, the
// Modified mark and the pages.
#include "app/Main.h"

#include "app/MainBody.h"
#include "app/MainMessages.h"
#include "app/MainSafeWrite.h"
#include "app/MainTerminal.h"
#include "app/MainUndo.h"
#include "link/ui/TerminalFrame.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/PageUndo.h"

#include <QTimer>

void TForm1::setProgressMaximum(int maximum) { m_messages->setProgressMaximum(maximum); }
void TForm1::setProgressPosition(int position) { m_messages->setProgressPosition(position); }
void TForm1::stepProgress(int by) { m_messages->stepProgress(by); }
int TForm1::progressMaximum() const { return m_messages->progressMaximum(); }
void TForm1::stopMessageTimer() { m_messages->messageViewTimer()->stop(); }
void TForm1::startMessageTimer() { m_messages->messageViewTimer()->start(); }

void TForm1::applyModified(bool modified)
{
    m_modified = modified;
    TAFrame *pages = m_body->frame1();
    if (pages->Modified() != modified)
        pages->SetModified(modified);
    m_statusBar->setModifiedText(modified ? QStringLiteral("Modified") : QString());
}

void TForm1::setModified(bool modified)
{
    applyModified(modified);
    if (!modified && m_undo)
        m_undo->pagesClean(m_tractionMemory);
}

void TForm1::settingsWritten(const SettingsImage &written)
{
    if (!m_undo) {
        setModified(false);
        return;
    }
    m_undo->pagesWritten(written);
    applyModified(m_undo->pages().differsFromClean());
}

void TForm1::fillPagesFromImage()
{
    m_body->frame1()->FillPagesFromImage(m_tractionMemory);
    if (m_undo)
        m_undo->pagesFilled(m_tractionMemory, m_modified);
}

bool TForm1::copyPagesToImage() { return m_body->frame1()->CopyPagesToImage(m_tractionMemory); }

// The window's side of the receive handler: while the terminal is shown, everything is its text.
bool TForm1::terminalVisible() const { return m_terminal && m_terminal->shown(); }

void TForm1::terminalReceive(const QByteArray &shown) { m_body->frame2()->showReceived(shown); }

void TForm1::verifyFailed(const QList<SettingChange> &differences, bool answered)
{
    m_safeWrite->verifyFailed(differences, answered);
}
