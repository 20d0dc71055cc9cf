#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

// The per-user option store as a text file in the registry's own export layout:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Veltorane\Veltorane Traction Control Software\Options]
//   "Program Top"=dword:00000000
//   "Name"="text"
//
// so a person can read and mend it, and the key paths, value names and types stay those of the
// registry. Key paths compare without case, as in the registry; value names are kept as written.
class RegistryFile {
public:
    enum class Type { Dword, String, Other };  // Other: a line of another registry type, kept as text

    struct Value {
        QString name;
        Type type = Type::Dword;
        quint32 dword = 0;
        QString text;  // String: the string; Other: the raw data after '='
    };
    struct Key {
        QString path;  // "HKEY_CURRENT_USER\Software\...", no brackets
        QList<Value> values;
    };

    static RegistryFile parse(const QByteArray &text);
    QByteArray serialize() const;

    // Reads the file; a missing file is an empty store. Lines it cannot make sense of are skipped.
    // *readable (when given) is false for a file that exists but could not be read: it is not empty,
    // only unknown, and must not be saved over.
    static RegistryFile load(const QString &fileName, bool *readable = nullptr);
    // Replaces the file in one step (temporary file, then rename), so a crash leaves the old one.
    bool save(const QString &fileName) const;

    // A key exists when it was created or lies above a key that was.
    bool keyExists(const QString &path) const;
    Key *key(const QString &path);
    Key &createKey(const QString &path);
    const QList<Key> &keys() const { return m_keys; }

private:
    QList<Key> m_keys;
};
