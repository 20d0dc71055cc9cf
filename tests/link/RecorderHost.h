#pragma once

#include "link/LinkHost.h"
#include "settings/SettingsImage.h"

#include <QStringList>

// A host that keeps everything an exchange showed or asked for, in order.
class RecorderHost : public LinkHost {
public:
    SettingsImage image;       // TractionMemory
    SettingsImage pages;       // what the pages show
    bool pagesConvert = true;  // false: a page entry is not a number
    QStringList events;        // "status!:text", "status:text", "activity:text", "lock", ...
    QString lastStatus;
    bool lastStatusError = false;
    bool modified = true;
    bool settingsLoaded = false;
    bool locked = false;
    int progress = 0;
    int maximum = 0;
    QByteArray uploaded;  // the logger memory handed over to be plotted

    SettingsImage &tractionMemory() override { return image; }
    void showStatus(const QString &text, bool isError) override
    {
        lastStatus = text;
        lastStatusError = isError;
        events << (isError ? QStringLiteral("status!:") : QStringLiteral("status:")) + text;
    }
    void showActivity(const QString &text) override { events << QStringLiteral("activity:") + text; }
    void setProgressMaximum(int m) override { maximum = m; }
    void setProgressPosition(int p) override { progress = p; }
    void stepProgress(int by) override { progress += by; }
    int progressMaximum() const override { return maximum; }
    void lockMenus() override
    {
        locked = true;
        events << QStringLiteral("lock");
    }
    void unlockMenus() override
    {
        locked = false;
        events << QStringLiteral("unlock");
    }
    void setModified(bool m) override { modified = m; }
    void setSettingsLoaded(bool l) override { settingsLoaded = l; }
    void fillPagesFromImage() override
    {
        pages = image;
        events << QStringLiteral("fill");
    }
    bool copyPagesToImage() override
    {
        events << QStringLiteral("copy");
        if (pagesConvert)
            image = pages;
        return pagesConvert;
    }
    void updateTitleBar(bool) override {}
    void logImageUploaded(const QByteArray &logImage) override
    {
        uploaded = logImage;
        events << QStringLiteral("plot");
    }
};
