#include "CompareCommand.h"

#include "ToolKit.h"
#include "link/ConsoleLinkHost.h"

namespace CompareCommand {

int run(const QStringList &args, const PrintCommand::Loader &load)
{
    QStringList rest = args;
    const QString port = LinkCommands::takePort(rest);
    if (port.isEmpty() || rest.size() != 1)
        return 2;
    SettingsImage image;
    if (!load(rest[0], image))
        return 1;
    return LinkCommands::compare(port, Tool::ports(), image);
}

}  // namespace CompareCommand
