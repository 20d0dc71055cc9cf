// The main window's ways out of the program: mail, feedback, the manual and the about box.
#include "app/Main.h"

#include "app/About.h"
#include "app/ManualForm.h"
#include "app/PrintForm.h"
#include "graph/ui/GraphForm.h"
#include "settings/ui/MainFrame.h"
#include "platform/ManualLocation.h"
#include "platform/Shell.h"
#include "settings/SettingsMail.h"
#include "widgets/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QShortcut>
#include <QTabWidget>
#include <QUrl>

namespace {

constexpr const char *ManualMissing = "Could not find the traction manual\n\rWould you like to find it yourself ?";

// The link's fields come escaped; the URL class escapes the spaces.
void openMail(const QString &link) { Shell::instance().openUrl(QUrl(link, QUrl::TolerantMode)); }

}  // namespace

void TForm1::Email1Execute()
{
    BuildPrintPage();
    openMail(SettingsMail::emailLink(m_printerForm->page()));
}

void TForm1::FeedBack1Execute() { openMail(SettingsMail::feedbackLink(m_statusBar->versionText())); }

void TForm1::HelpContents1Execute() { showManualAt(manualChapterHere()); }

QString TForm1::manualChapterHere() const
{
    if (terminalVisible())
        return QStringLiteral("The terminal");
    const QTabWidget *pages = frame1()->PageControl1;
    return pages ? pages->tabText(pages->currentIndex()).remove(QLatin1Char('&')).trimmed() : QString();
}

void TForm1::showManualAt(const QString &chapter)
{
    // Open already: no second viewer, only the chapter asked for.
    if (m_manual->isVisible()) {
        m_manual->showChapter(chapter);
        m_manual->raise();
        m_manual->activateWindow();
        return;
    }
    const QString folder = QCoreApplication::applicationDirPath();
    QString path = ManualLocation::find();
    if (path.isEmpty()) {
        if (!Dialogs::instance().question(QLatin1String(ManualMissing), this))
            return;
        Dialogs::FileRequest request;
        request.title = QStringLiteral("Open");
        request.directory = folder;
        request.fileName = QStringLiteral("Traction_Manual");
        request.filters = {QStringLiteral("Adobe PDF Files (*.pdf)")};
        path = Dialogs::instance().openFile(request, this);
        if (path.isEmpty())
            return;
    }
    if (!m_manual->ShowManual(path)) {
        Dialogs::instance().error(
            QStringLiteral("The manual could not be read:\n%1").arg(QDir::toNativeSeparators(path)), this);
        return;
    }
    m_manual->showChapter(chapter);
}

void TForm1::About2Execute()
{
    TAboutForm about(this);
    about.exec();
}

void TForm1::connectShellActions()
{
    const std::pair<const char *, void (TForm1::*)()> handlers[] = {
        {"Print1", &TForm1::Print1Execute},
        {"PrinterSetup1", &TForm1::PrinterSetup1Execute},
        {"Email1", &TForm1::Email1Execute},
        {"FeedBack1", &TForm1::FeedBack1Execute},
        {"HelpContents1", &TForm1::HelpContents1Execute},
        {"About2", &TForm1::About2Execute},
    };
    for (const auto &[name, handler] : handlers)
        connect(m_actions[name], &QAction::triggered, this, handler);
    // F1 in the graph window opens the manual at its chapter (the graph window has no Help menu).
    auto *graphHelp = new QShortcut(QKeySequence::HelpContents, m_graph);
    connect(graphHelp, &QShortcut::activated, this, [this] { showManualAt(QStringLiteral("The graph window")); });
}
