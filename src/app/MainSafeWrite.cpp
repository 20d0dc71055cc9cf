#include "app/MainSafeWrite.h"

#include "link/StatusMessages.h"
#include "link/TractionLink.h"
#include "platform/RegistryRoutinesUnit.h"
#include "settings/Plausibility.h"
#include "settings/ui/MainFrame.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr RegistryValue VerifyAfterWrite{"\\Options", "VerifyAfterWrite", RegistryValue::Type::Boolean, 1};
constexpr RegistryValue CompareBeforeWrite{"\\Options", "CompareBeforeWrite", RegistryValue::Type::Boolean, 1};
constexpr RegistryValue CheckReads{"\\Options", "CheckReads", RegistryValue::Type::Boolean, 1};

QAction *optionItem(TRegistryRoutines &options, QMenu *menu, const QString &text, const char *name,
                    const RegistryValue &stored)
{
    QAction *item = menu->addAction(text);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(true);
    item->setChecked(options.read(stored) != 0);
    QObject::connect(item, &QAction::toggled, item, [&options, &stored](bool on) { options.write(stored, on); });
    return item;
}

QString box(const char *text) { return QLatin1String(text); }

}  // namespace

MainSafeWrite::MainSafeWrite(const Parts &parts, QObject *parent)
    : QObject(parent), m_link(parts.link), m_image(parts.image), m_pages(parts.pages), m_window(parts.window)
{
    QMenu *optionsMenu = parts.optionsMenu;
    optionsMenu->addSeparator();
    m_compare = optionsMenu->addAction(QStringLiteral("&Compare with Unit"));
    m_compare->setObjectName(QStringLiteral("CompareWithTraction1"));
    m_compare->setToolTip(QStringLiteral("Show where the settings in the unit differ from these pages"));
    connect(m_compare, &QAction::triggered, this,
            [this] { m_link.whenFree(Exchange::Compare, [this] { CompareWithTraction1Execute(); }); });
    TRegistryRoutines &options = parts.options;
    m_verify = optionItem(options, optionsMenu, QStringLiteral("V&erify after Writing"), "VerifyAfterWrite1",
                          VerifyAfterWrite);
    m_confirm = optionItem(options, optionsMenu, QStringLiteral("&Show Changes before Writing"), "CompareBeforeWrite1",
                           CompareBeforeWrite);
    m_checkReads = optionItem(options, optionsMenu, QStringLiteral("Check &Reads"), "CheckReads1", CheckReads);
    m_checkReads->setToolTip(QStringLiteral("Read the settings twice and take them only when both reads agree"));
    CommandSequences &sequences = m_link.sequences();
    sequences.setCheckReads(m_checkReads->isChecked());
    connect(m_checkReads, &QAction::toggled, this, [&sequences](bool on) { sequences.setCheckReads(on); });
}

bool MainSafeWrite::confirmWrite()
{
    // An entry that is not a number fails the write itself, with its own box; nothing to show here.
    SettingsImage planned = m_image;
    if (m_pages->ShownValues().copyTo(planned))
        return true;

    Dialogs::Comparison request;
    request.title = box(StatusMessages::CompareTitle);
    request.confirm = true;
    request.offerDontShow = true;
    if (const auto &unit = m_link.state().UnitImage) {
        request.changes = compareImages(*unit, planned);
        request.text = box(request.changes.isEmpty() ? StatusMessages::CompareNothingChanges
                                                     : StatusMessages::CompareBeforeWrite);
    } else {
        request.text = box(StatusMessages::CompareUnitUnknown);
    }
    const bool go = Dialogs::instance().comparison(request, m_window);
    if (request.dontShowAgain)
        m_confirm->setChecked(false);
    return go;
}

bool MainSafeWrite::WriteToTraction1Execute()
{
    if (m_confirm->isChecked() && !confirmWrite())
        return false;
    m_link.sequences().setVerifyAfterWrite(m_verify->isChecked());
    return m_link.WriteToTraction();
}

bool MainSafeWrite::ReadFromTraction1Execute()
{
    if (!m_link.ReadFromTraction())
        return false;
    warnImplausible();
    return true;
}

void MainSafeWrite::CompareWithTraction1Execute()
{
    SettingsImage pages = m_image;
    if (!m_pages->CopyPagesToImage(pages))
        return;
    SettingsImage unit;
    if (!m_link.ReadUnitImage(unit))
        return;
    Dialogs::Comparison request;
    request.title = box(StatusMessages::CompareUnitTitle);
    request.changes = compareImages(unit, pages);
    request.text = box(request.changes.isEmpty() ? StatusMessages::CompareSameAsUnit : StatusMessages::CompareWithUnit);
    Dialogs::instance().comparison(request, m_window);
}

void MainSafeWrite::verifyFailed(const QList<SettingChange> &differences, bool answered)
{
    Dialogs::Comparison request;
    request.title = box(StatusMessages::VerifyTitle);
    request.text = box(answered ? StatusMessages::VerifyDiffers : StatusMessages::VerifyNoAnswer);
    request.changes = differences;
    Dialogs::instance().comparison(request, m_window);
}

void MainSafeWrite::warnImplausible()
{
    const QList<Implausible> found = checkPlausibility(m_image);
    if (found.isEmpty())
        return;
    QStringList lines{box(StatusMessages::Implausible)};
    for (const Implausible &value : found)
        lines << value.line();
    Dialogs::instance().warning(lines.join(QLatin1String("\n\r")), m_window);
}
