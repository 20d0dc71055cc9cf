#include "graph/ui/GraphFileOpen.h"

#include "widgets/Dialogs.h"

namespace GraphFileOpen {

QString ask(QWidget *parent)
{
    Dialogs::FileRequest req;
    req.filters = {QStringLiteral("DOS Traction file format (*.Dat)"),
                   QStringLiteral("Traction Logged Data File (*.tld)"), QStringLiteral("Any file (*.*)")};
    return Dialogs::instance().openFile(req, parent);
}

GraphFiles::LoadResult load(const QString &path, Channels &channels, QWidget *parent)
{
    using R = GraphFiles::LoadResult;
    if (GraphFiles::kindOf(path) == GraphFiles::Kind::Unknown) {
        Dialogs::instance().message(QStringLiteral("Unable to load file, unknown file type"), parent);
        return {};
    }
    const R r = GraphFiles::load(path, channels);
    if (r.status == R::TooShort)
        Dialogs::instance().message(QStringLiteral("Error"), parent);
    else if (r.status == R::Failed)
        Dialogs::instance().error(r.error, parent);
    return r;
}

}  // namespace GraphFileOpen
