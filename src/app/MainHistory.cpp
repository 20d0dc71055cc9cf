#include "app/MainHistory.h"

#include "app/MainActions.h"
#include "link/TractionLink.h"
#include "link/ui/COMPortUnitUnit.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/PageUndo.h"
#include "link/StatusMessages.h"
#include "settings/SettingsDiff.h"
#include "settings/ui/TuneHistoryDialog.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QMenu>

MainHistory::MainHistory(const Parts &parts, QObject *parent) : QObject(parent), m_parts(parts)
{
    QAction *history = parts.actions["History1"];
    // In the File menu, after the other ways of bringing settings in.
    QMenu *file = parts.fileMenu;
    const auto actions = file->actions();
    const qsizetype import = actions.indexOf(parts.actions["Import1"]);
    file->insertAction(import >= 0 && import + 1 < actions.size() ? actions.at(import + 1) : nullptr, history);
    connect(history, &QAction::triggered, this, &MainHistory::History1Execute);
}

void MainHistory::record(TuneHistory::Event event, const QString &detail)
{
    QString where = detail;
    if (where.isEmpty() && event != TuneHistory::Event::Save)
        where = QStringLiteral("COM %1").arg(m_parts.ports.selection().portNumber());
    // A copy that cannot be kept must not turn a good read, write or save into a failure.
    TuneHistory::inConfigFolder(m_parts.options)
        .add(event, m_parts.image, QString::fromLatin1(m_parts.link.state().firmwareVersionText()), where);
}

void MainHistory::History1Execute()
{
    // Locked with the File menu while an exchange runs.
    if (!m_parts.fileMenu->isEnabled())
        return;
    delete m_dialog;
    m_dialog = new TuneHistoryDialog(TuneHistory::inConfigFolder(m_parts.options), m_parts.window);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_dialog, &TuneHistoryDialog::loadRequested, this, [this](const SettingsImage &image) { load(image); });
    connect(m_dialog, &TuneHistoryDialog::compareRequested, this, &MainHistory::compare);
    m_dialog->open();
}

// The kept tune against what the pages show now; nothing changes.
void MainHistory::compare(const SettingsImage &kept)
{
    SettingsImage pages = m_parts.image;
    if (!m_parts.pages->CopyPagesToImage(pages))
        return;
    Dialogs::Comparison request;
    request.title = QLatin1String(StatusMessages::HistoryCompareTitle);
    request.changes = compareImages(kept, pages);
    request.text = QLatin1String(request.changes.isEmpty() ? StatusMessages::HistorySameAsPages
                                                           : StatusMessages::HistoryCompare);
    Dialogs::instance().comparison(request, m_dialog ? static_cast<QWidget *>(m_dialog) : m_parts.window);
}

// Into the pages only, as an edit would be: one undo step, and modified.
void MainHistory::load(const SettingsImage &image)
{
    m_parts.pages->FillPagesFromImage(image);
    m_parts.undo.recordNow();
    m_parts.setModified(true);
}
