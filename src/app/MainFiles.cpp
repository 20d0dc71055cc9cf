#include "app/Main.h"
#include "app/MainHistory.h"

#include "app/MainSafeWrite.h"
#include "widgets/Dialogs.h"
#include "link/StatusMessages.h"
#include "settings/SettingsFileLoader.h"
#include "settings/SettingsFiles.h"
#include "settings/ui/MainFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr char LoadQuestion[] = "Changed data has not been saved\n\r           or sent to unit.\n\r\n\r"
                                " Overwrite current data with\n\r          data from file ?";

constexpr char DatFilter[] = "DOS Traction file format (*.Dat)";
constexpr char TraFilter[] = "WINDOWS Traction file Format (*.TRA)";
constexpr char ImportFilter[] = "Traction Settings file (*.tra)";
constexpr char AnyFilter[] = "Any file (*.*)";

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

}  // namespace

void TForm1::connectFileActions()
{
    connect(m_actions["Open1"], &QAction::triggered, this, &TForm1::Open1Execute);
    connect(m_actions["Import1"], &QAction::triggered, this, &TForm1::Import1Execute);
    connect(m_actions["Save1"], &QAction::triggered, this, &TForm1::Save1Execute);
    connect(m_actions["SaveAs1"], &QAction::triggered, this, &TForm1::SaveAs1Execute);
}

void TForm1::Open1Execute() { loadSettingsFile(false); }

void TForm1::Import1Execute() { loadSettingsFile(true); }

bool TForm1::mayReplacePages()
{
    MessageViewTimer()->stop();
    if (m_modified && !Dialogs::instance().questionNo(QLatin1String(LoadQuestion), this)) {
        MessageViewTimer()->start();
        return false;
    }
    return true;
}

void TForm1::loadSettingsFile(bool traOnly)
{
    if (!mayReplacePages())
        return;
    if (traOnly)
        m_settingsLoaded = false;

    Dialogs::FileRequest request;
    request.title = traOnly ? QStringLiteral("Import settings") : QStringLiteral("Open settings");
    request.directory = m_fileFolder;
    request.filters = traOnly
                          ? QStringList{QLatin1String(ImportFilter), QLatin1String(AnyFilter)}
                          : QStringList{QLatin1String(DatFilter), QLatin1String(TraFilter), QLatin1String(AnyFilter)};
    request.filterIndex = 0;
    const QString chosen = Dialogs::instance().openFile(request, this);
    if (chosen.isEmpty()) {
        MessageViewTimer()->start();
        return;
    }
    if (loadSettingsFrom(chosen, traOnly))
        MessageViewTimer()->start();
}

void TForm1::openSettingsFile(const QString &fileName)
{
    if (mayReplacePages() && loadSettingsFrom(fileName, false))
        MessageViewTimer()->start();
}

bool TForm1::loadSettingsFrom(const QString &fileName, bool traOnly)
{
    const QString path = QFileInfo(fileName).absoluteFilePath();
    m_fileFolder = QFileInfo(path).absolutePath();

    const auto accept = traOnly ? SettingsFileLoad::Accept::TraOnly : SettingsFileLoad::Accept::Any;
    const SettingsFileLoad load = SettingsFileLoad::load(path, m_tractionMemory, accept);
    if (load.accessFault) {
        // Not a bad file but one the system refused: its own words, and nothing else changes.
        Dialogs::instance().error(QStringLiteral("Cannot open file \"%1\". %2").arg(shown(path), load.reason), this);
        return false;
    }
    m_settingsLoaded = load.loaded;
    if (load.loaded && load.kind == SettingsFileLoad::Kind::Dat) {
        m_currentFileName = path;
        m_actions["Save1"]->setEnabled(true);
    }

    if (load.loaded) {
        fillPagesFromImage();
        QCoreApplication::processEvents();
        ShowStatus(QLatin1String(StatusMessages::FileLoaded), false);
        UpdateTitleBar(true);
        m_safeWrite->warnImplausible();
    } else {
        ShowStatus(QLatin1String(StatusMessages::FileLoadFailed), true,
                   QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), load.reason));
    }
    return true;
}

void TForm1::Save1Execute()
{
    MessageViewTimer()->stop();
    if (m_currentFileName.isEmpty()) {
        ShowStatus(QLatin1String(StatusMessages::FileSaveFailed), true,
                   QStringLiteral("no settings file opened yet; use Save As"));
        MessageViewTimer()->start();
        return;
    }
    if (!writeSettingsFile(m_currentFileName))
        return;
    setModified(false);
    ShowStatus(QLatin1String(StatusMessages::FileSaved), false);
    UpdateTitleBar(true);
    MessageViewTimer()->start();
}

void TForm1::SaveAs1Execute()
{
    MessageViewTimer()->stop();
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Save settings as");
    request.directory = m_currentFileName.isEmpty() ? m_fileFolder : QFileInfo(m_currentFileName).absolutePath();
    request.filters = {QLatin1String(DatFilter)};
    request.filterIndex = 0;
    // Overwriting is safe: the old file is kept as its backup.
    request.confirmOverwrite = false;
    const QString chosen = Dialogs::instance().saveFile(request, this);
    if (chosen.isEmpty()) {
        ShowStatus(QLatin1String(StatusMessages::FileSaveFailed), true, QStringLiteral("no file name chosen"));
        MessageViewTimer()->start();
        return;
    }
    QString path = QFileInfo(chosen).absoluteFilePath();
    m_fileFolder = QFileInfo(path).absolutePath();
    // The extension is settled before the backup, so the file that is replaced is the one backed up.
    if (!QFileInfo(path).fileName().contains(u'.'))
        path += request.filterIndex == 1 ? QStringLiteral(".tra") : QStringLiteral(".dat");
    if (!writeSettingsFile(path))
        return;
    setModified(false);
    m_currentFileName = path;
    m_actions["Save1"]->setEnabled(true);
    UpdateTitleBar(true);
    ShowStatus(QLatin1String(StatusMessages::FileSaved), false);
    MessageViewTimer()->start();
}

// The pages are converted before any file is renamed: an entry that is not a number stops the
// save with its error box and leaves the old file in place.
bool TForm1::writeSettingsFile(const QString &path)
{
    SettingsImage image = m_tractionMemory;
    if (!frame1()->CopyPagesToImage(image))
        return false;
    m_tractionMemory = image;
    QString error;
    if (saveDatFile(path, m_tractionMemory, &error)) {
        m_history->record(TuneHistory::Event::Save, path);
        return true;
    }
    if (error == QLatin1String(BackupFailedMessage))
        Dialogs::instance().error(error, this);
    else
        Dialogs::instance().error(QStringLiteral("Cannot write file \"%1\". %2").arg(shown(path), error), this);
    return false;
}
