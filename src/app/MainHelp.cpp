// The main window's ways out of the program: mail, feedback, the manual and the about box.
#include "app/Main.h"

#include "app/About.h"
#include "app/ManualForm.h"
#include "app/PrintForm.h"
#include "platform/ManualLocation.h"
#include "platform/Shell.h"
#include "settings/SettingsMail.h"
#include "widgets/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
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

void TForm1::HelpContents1Execute()
{
    if (m_manual->isVisible())
        return;
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
    if (!m_manual->ShowManual(path))
        Dialogs::instance().error(QStringLiteral("The manual could not be read:\n%1").arg(QDir::toNativeSeparators(path)),
                                  this);
}

void TForm1::About2Execute()
{
    TAboutForm about(this);
    about.exec();
}

void TForm1::connectShellActions()
{
    const std::pair<const char *, void (TForm1::*)()> handlers[] = {
        {"Print1", &TForm1::Print1Execute},       {"PrinterSetup1", &TForm1::PrinterSetup1Execute},
        {"Email1", &TForm1::Email1Execute},       {"FeedBack1", &TForm1::FeedBack1Execute},
        {"HelpContents1", &TForm1::HelpContents1Execute}, {"About2", &TForm1::About2Execute},
    };
    for (const auto &[name, handler] : handlers)
        connect(m_actions[name], &QAction::triggered, this, handler);
}
