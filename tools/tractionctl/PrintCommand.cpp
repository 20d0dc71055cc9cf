#include "PrintCommand.h"
#include "ToolKit.h"

#include "platform/ProgramVersion.h"
#include "print/PagePainter.h"
#include "settings/PrintPage.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QBuffer>
#include <QTextStream>

namespace PrintCommand {

namespace {

// The platform asks for a runtime folder it never uses here; without a desktop session that
// question would be the tool's only output on the error stream.
QtMessageHandler standardMessages = nullptr;

void quietAboutTheRuntimeFolder(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        standardMessages(type, context, message);
}

}  // namespace

std::unique_ptr<QCoreApplication> application(int &argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "print") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        standardMessages = qInstallMessageHandler(quietAboutTheRuntimeFolder);
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

namespace {

constexpr char PrintFailed[] = "Print Page Failed";

// "--name VALUE" taken out of args; 'found' false when the option is missing.
QString take(QStringList &args, const char *name, bool *found)
{
    const int i = args.indexOf(QLatin1String(name));
    *found = i >= 0 && i + 1 < args.size();
    if (!*found)
        return {};
    const QString value = args[i + 1];
    args.remove(i, 2);
    return value;
}

}  // namespace

int run(const QStringList &args, const Loader &load)
{
    QStringList rest = args;
    bool hasPdf = false, hasVersion = false;
    const QString pdf = take(rest, "--pdf", &hasPdf);
    const QString version = take(rest, "--version", &hasVersion);
    if (!hasPdf || pdf.isEmpty() || rest.size() != 1)
        return Tool::UsageError;
    SettingsImage image;
    if (!load(rest[0], image))
        return Tool::Failed;

    PageValues pages;
    pages.fill(image);
    PrintPage page;
    page.fill(pages, hasVersion && !version.isEmpty() ? version : QLatin1String(PrintPage::Unknown),
              ProgramVersion::current().text(), QDateTime::currentDateTime());

    QBuffer pdfBytes;
    pdfBytes.open(QIODevice::WriteOnly);
    QString error;
    {
        QPdfWriter writer(&pdfBytes);
        writer.setCreator(QStringLiteral("tractionctl"));
        writer.setTitle(QStringLiteral("Traction settings"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        if (!PagePainter::print(writer, page, &error))
            return Tool::fail(QLatin1String(PrintFailed), pdf, error);
    }
    // The PDF replaces OUT only once it is whole.
    return Tool::saveWhole(pdf, pdfBytes.data(), Tool::Backup::None, QLatin1String(PrintFailed));
}

}  // namespace PrintCommand
