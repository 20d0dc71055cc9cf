#include "platform/Shell.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

// The freedesktop helpers: xdg-open for links and folders, xdg-email for mail with an attachment.
class DesktopShell final : public Shell {
public:
    bool openUrl(const QUrl &url) override
    {
#if defined(Q_OS_WIN)
        return QProcess::startDetached(QStringLiteral("rundll32"),
                                       {QStringLiteral("url.dll,FileProtocolHandler"), url.toString()});
#else
        return start("xdg-open", {url.toString(QUrl::FullyEncoded)});
#endif
    }

    bool mailWithAttachment(const QString &subject, const QString &file) override
    {
#if defined(Q_OS_WIN)
        Q_UNUSED(subject)
        Q_UNUSED(file)
        return false;  // a mailto: link cannot carry a file there
#else
        return start("xdg-email", {QStringLiteral("--subject"), subject, QStringLiteral("--attach"), file});
#endif
    }

private:
    static bool start(const char *program, const QStringList &args)
    {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
        return !path.isEmpty() && QProcess::startDetached(path, args);
    }
};

Shell *installed = nullptr;

}  // namespace

Shell &Shell::instance()
{
    static DesktopShell desktop;
    return installed ? *installed : desktop;
}

void Shell::install(Shell *shell) { installed = shell; }
