#pragma once

#include "platform/Shell.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Records what would have gone to the desktop, for the lifetime of the object.
class RecordingShell final : public Shell {
public:
    bool mailWorks = true;
    QList<QUrl> opened;
    QStringList attached;
    RecordingShell() { Shell::install(this); }
    ~RecordingShell() override { Shell::install(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened << url;
        return true;
    }
    bool mailWithAttachment(const QString &, const QString &file) override
    {
        if (mailWorks)
            attached << file;
        return mailWorks;
    }
};
