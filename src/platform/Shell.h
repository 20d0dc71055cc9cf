#pragma once

#include <QString>
#include <QUrl>

// Links, folders and mail handed to the desktop. Tests install a recorder instead.
class Shell {
public:
    virtual ~Shell() = default;

    // A mailto: or http link, or a local file or folder, opened by the desktop; false when no
    // program would take it.
    virtual bool openUrl(const QUrl &url) = 0;
    // A new message in the desktop's mail program with the file attached; false where the mail
    // program cannot be handed an attachment.
    virtual bool mailWithAttachment(const QString &subject, const QString &file) = 0;

    // The one in use: the desktop's unless a test installed its own.
    static Shell &instance();
    static void install(Shell *shell);  // nullptr restores the desktop's
};
