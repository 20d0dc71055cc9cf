#include "platform/RegistryFile.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The store of the test running, on its own temporary folder.
std::unique_ptr<TRegistryRoutines> theStore;
TRegistryRoutines &store() { return *theStore; }

const QString Options = QStringLiteral("\\Options");
const QString Menu = QStringLiteral("\\Options\\Menu");
const QString BaseSection =
    QStringLiteral("[HKEY_CURRENT_USER\\Software\\Veltorane\\Veltorane Traction Control Software");

QByteArray fileText()
{
    QFile f(store().storeFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeText(const QByteArray &text)
{
    QDir().mkpath(store().configFolder());
    QFile f(store().storeFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QByteArray section(const QString &subKey) { return (BaseSection + subKey + u']').toUtf8(); }

}  // namespace

class TestRegistryRoutines : public QObject {
    Q_OBJECT
    QTemporaryDir *m_dir = nullptr;

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8());
        theStore = std::make_unique<TRegistryRoutines>(m_dir->path() + "/Veltorane");
    }
    void cleanup()
    {
        theStore.reset();
        delete m_dir;
        m_dir = nullptr;
    }

    void storeLivesInTheUsersConfigFolder()
    {
        QCOMPARE(TRegistryRoutines::defaultFolder(), m_dir->path() + "/Veltorane");
        QCOMPARE(TRegistryRoutines::RegistryBaseKey(),
                 QStringLiteral("\\Software\\Veltorane\\Veltorane Traction Control Software"));
        qputenv("XDG_CONFIG_HOME", "relative/ignored");
        QCOMPARE(TRegistryRoutines::defaultFolder(), QDir::homePath() + "/.config/Veltorane");
    }

    void firstReadCreatesTheValueWithItsDefault()
    {
        QVERIFY(!QFile::exists(store().storeFile()));
        QVERIFY(
            store().KeyMissing(TRegistryRoutines::RootKey::CurrentUser, TRegistryRoutines::RegistryBaseKey() + Menu));
        QCOMPARE(store().ReadWriteInteger(Menu, "Locked", true, 1, 0), 0);
        QCOMPARE(store().ReadWriteInteger(Options, "CommPort", true, 1, 1), 1);
        QCOMPARE(store().ReadWriteBool(Options, "AllowVirtualPorts", true, 1, false), false);

        const QByteArray text = fileText();
        QVERIFY(text.startsWith("REGEDIT4\n"));
        const qsizetype menu = text.indexOf(section(Menu));
        const qsizetype options = text.indexOf(section(Options));
        QVERIFY(menu > 0 && options > menu);
        QVERIFY(text.indexOf("\"Locked\"=dword:00000000\n", menu) > menu);
        QVERIFY(text.indexOf("\"CommPort\"=dword:00000001\n", options) > options);
        QVERIFY(text.indexOf("\"AllowVirtualPorts\"=dword:00000000\n", options) > options);
        // The parent key exists because a key below it was created.
        QVERIFY(!store().KeyMissing(TRegistryRoutines::RootKey::CurrentUser,
                                    TRegistryRoutines::RegistryBaseKey() + Options));
        QVERIFY(!store().KeyMissing(TRegistryRoutines::RootKey::CurrentUser, "Software\\Veltorane"));
        QVERIFY(store().KeyMissing(TRegistryRoutines::RootKey::LocalMachine, "Hardware\\DeviceMap\\SerialComm"));
        QVERIFY(!QFile::exists(store().storeFile() + ".lock"));
    }

    void readWithoutCreateLeavesTheStoreAlone()
    {
        QCOMPARE(store().ReadWriteInteger(Options, "Program Top", false, 1, 7), 7);
        QVERIFY(!QFile::exists(store().storeFile()));
    }

    void valuesRoundTripWithTheirTypes()
    {
        store().ReadWriteInteger(Options, "Program Left", true, 0, -25);
        store().ReadWriteInteger(Options, "Program Top", true, 0, 640);
        store().ReadWriteBool(Menu, "MenuBar Position", true, 0, true);
        QString odd = QStringLiteral("C:\\Tunes\\\"race\" day");
        store().ReadWriteString(Options, "LastFolder", true, 0, odd);

        QCOMPARE(store().ReadWriteInteger(Options, "Program Left", true, 1, 0), -25);
        QCOMPARE(store().ReadWriteInteger(Options, "Program Top", true, 1, 0), 640);
        QCOMPARE(store().ReadWriteBool(Menu, "MenuBar Position", true, 1, false), true);
        QString back;
        store().ReadWriteString(Options, "LastFolder", true, 1, back);
        QCOMPARE(back, odd);
        const QByteArray text = fileText();
        QVERIFY(text.contains("\"Program Left\"=dword:ffffffe7\n"));
        QVERIFY(text.contains("\"Program Top\"=dword:00000280\n"));
        QVERIFY(text.contains("\"MenuBar Position\"=dword:00000001\n"));
        QVERIFY(text.contains("\"LastFolder\"=\"C:\\\\Tunes\\\\\\\"race\\\" day\"\n"));
    }

    void anyNonZeroReadsAsTrue()
    {
        writeText("REGEDIT4\n\n" + section(Menu) + "\n\"Navigator Position\"=dword:00000005\n");
        QCOMPARE(store().ReadWriteBool(Menu, "Navigator Position", true, 1, false), true);
        QCOMPARE(store().ReadWriteInteger(Menu, "Navigator Position", true, 1, 0), 5);
    }

    void wrongTypedValueIsReplacedByTheDefault()
    {
        writeText("REGEDIT4\n\n" + section(Options) +
                  "\n\"Program Top\"=\"high\"\n\"Program Left\"=hex:01,02\n\"CommPort\"=dword:00000003\n");
        QCOMPARE(store().ReadWriteInteger(Options, "Program Top", true, 1, 0), 0);
        // Replaced even where the caller would not create a missing value.
        QCOMPARE(store().ReadWriteInteger(Options, "Program Left", false, 1, 0), 0);
        QString s = "fallback";
        store().ReadWriteString(Options, "CommPort", true, 1, s);
        QCOMPARE(s, QStringLiteral("fallback"));
        const QByteArray text = fileText();
        QVERIFY(text.contains("\"Program Top\"=dword:00000000\n"));
        QVERIFY(text.contains("\"Program Left\"=dword:00000000\n"));
        QVERIFY(text.contains("\"CommPort\"=\"fallback\"\n"));
        QCOMPARE(text.count("Program Top"), 1);
    }

    void valueNamesCompareWithoutCaseOnReadingAsOnWriting()
    {
        // A hand-edited name in other case is the same value: read as it stands, the file untouched.
        const QByteArray edited = "REGEDIT4\n\n" + section(Options) + "\n\"program top\"=dword:00000063\n";
        writeText(edited);
        QCOMPARE(store().ReadWriteInteger(Options, "Program Top", true, 1, 0), 0x63);
        QCOMPARE(fileText(), edited);
        // A write replaces it, in the name the program uses.
        store().ReadWriteInteger(Options, "Program Top", true, 0, 7);
        const QByteArray text = fileText();
        QVERIFY(text.contains("\"Program Top\"=dword:00000007\n"));
        QVERIFY(!text.contains("program top"));
        // Key paths, as in the registry, match without case.
        writeText("REGEDIT4\n\n[hkey_current_user\\software\\veltorane\\veltorane traction control "
                  "software\\options]\n\"Graph Top\"=dword:0000000c\n");
        QCOMPARE(store().ReadWriteInteger(Options, "Graph Top", true, 1, 0), 12);
    }

    // A store that cannot be read or locked at the moment is never saved over, and no change is
    // lost: it is kept for the run, read back as made, said once per change, and stored later.
    void aChangeThatCannotBeStoredIsKeptAndSaid()
    {
        writeText("REGEDIT4\n\n" + section(Options) +
                  "\n\"CommPort\"=dword:00000004\n\"Program Top\"=dword:00000009\n");
        const QByteArray before = fileText();
        QStringList said;
        store().setFailureReporter([&said](const QString &why) { said << why; });
        const auto restore = qScopeGuard([] { store().setFailureReporter(nullptr); });

        // Unreadable: the file is there but cannot be opened (a folder in its place stands in for
        // a file the user may not read, as the tests run as root).
        const QString stored = store().storeFile();
        QVERIFY(QFile::rename(stored, stored + ".aside"));
        QVERIFY(QDir().mkdir(stored));
        store().write(RegistryKeys::AllowVirtualPorts, 1);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains("cannot be read"), qPrintable(said[0]));
        QCOMPARE(store().pendingChanges(), 1);
        QCOMPARE(store().read(RegistryKeys::AllowVirtualPorts), 1);
        QVERIFY(QFileInfo(stored).isDir());

        // Readable again: the next change stores both, beside everything the file held.
        QVERIFY(QDir().rmdir(stored));
        QVERIFY(QFile::rename(stored + ".aside", stored));
        QCOMPARE(fileText(), before);
        store().write(RegistryKeys::ProgramLeft, 3);
        QCOMPARE(store().pendingChanges(), 0);
        const QByteArray after = fileText();
        for (const char *line : {"\"CommPort\"=dword:00000004", "\"Program Top\"=dword:00000009",
                                 "\"AllowVirtualPorts\"=dword:00000001", "\"Program Left\"=dword:00000003"})
            QVERIFY2(after.contains(line), line);

        // Locked by another program for longer than the wait: kept and said as well.
        QLockFile other(stored + ".lock");
        QVERIFY(other.tryLock(0));
        store().write(RegistryKeys::GraphTop, 5);
        QCOMPARE(said.size(), 2);
        QCOMPARE(store().read(RegistryKeys::GraphTop), 5);
        other.unlock();
        store().write(RegistryKeys::GraphLeft, 6);
        QVERIFY(fileText().contains("\"Graph Top\"=dword:00000005"));
        QCOMPARE(said.size(), 2);
    }

    void writeWithoutCreateNeedsAnExistingKey()
    {
        store().ReadWriteInteger(Options, "CommPort", false, 0, 4);
        QVERIFY(!QFile::exists(store().storeFile()));
        store().ReadWriteInteger(Menu, "Locked", true, 0, 1);  // creates \Options too
        store().ReadWriteInteger(Options, "CommPort", false, 0, 4);
        QCOMPARE(store().ReadWriteInteger(Options, "CommPort", true, 1, 1), 4);
    }

    void everyCallSeesTheFileAsItIsNow()
    {
        store().ReadWriteInteger(Options, "Graph Left", true, 0, 10);
        writeText(fileText().replace("dword:0000000a", "dword:00000014"));
        QCOMPARE(store().ReadWriteInteger(Options, "Graph Left", true, 1, 0), 20);
        QFile::remove(store().storeFile());
        QCOMPARE(store().ReadWriteInteger(Options, "Graph Left", true, 1, 3), 3);
    }

    void damagedLinesAreSkippedAndTheRestKept()
    {
        writeText("garbage before any key\n\"Stray\"=dword:1\n" + section(Options) +
                  "\n\"Program Top\"=dword:0000002a\n\"Unclosed=dword:1\n=junk\n\"Graph Top\"=dword:xyz\n"
                  "[broken\n\"Program Left\"=dword:00000007\n");
        QCOMPARE(store().ReadWriteInteger(Options, "Program Top", true, 1, 0), 42);
        QCOMPARE(store().ReadWriteInteger(Options, "Graph Top", true, 1, 0), 0);
        // After the broken section header the lines belong to no key.
        QCOMPARE(store().ReadWriteInteger(Options, "Program Left", true, 1, 9), 9);
        QCOMPARE(RegistryFile::parse(fileText()).keys().size(), 1);
    }

    // The file as the program has always written it, byte for byte: keys in the order first
    // made, values in the order first stored, a change made in place, a key not made without
    // 'create'.
    void theFileIsWrittenByteForByte()
    {
        store().write(RegistryKeys::CommPort, 3);
        store().write(mainMenuKeys().locked, 1);
        store().ReadWriteInteger(Options, "Program Left", true, TRegistryRoutines::WriteMode, -25);
        QString folder = QStringLiteral("C:\\Tunes");
        store().ReadWriteString(Options, "LastFolder", true, TRegistryRoutines::WriteMode, folder);
        store().read(RegistryKeys::GraphTop);
        store().write(RegistryKeys::CommPort, 4);
        store().write(graphMenuKeys().locked, 1, false);
        QCOMPARE(fileText(), QByteArray("REGEDIT4\n"
                                        "; Options of the Veltorane Traction Control Software, one value a line.\n"
                                        "; Edit only while the program is closed: it rewrites this file.\n"
                                        "\n"
                                        "[HKEY_CURRENT_USER\\Software\\Veltorane\\Veltorane Traction Control "
                                        "Software\\Options]\n"
                                        "\"CommPort\"=dword:00000004\n"
                                        "\"Program Left\"=dword:ffffffe7\n"
                                        "\"LastFolder\"=\"C:\\\\Tunes\"\n"
                                        "\"Graph Top\"=dword:00000000\n"
                                        "\n"
                                        "[HKEY_CURRENT_USER\\Software\\Veltorane\\Veltorane Traction Control "
                                        "Software\\Options\\Menu]\n"
                                        "\"Locked\"=dword:00000001\n"));
    }

    void keyTableHoldsEveryOptionWithItsDefault()
    {
        for (const RegistryValue &key : registryKeyTable())
            QCOMPARE(store().read(key), key.defaultValue);
        const RegistryFile file = RegistryFile::parse(fileText());
        QCOMPARE(file.keys().size(), 3);
        int values = 0;
        for (const auto &key : file.keys())
            values += int(key.values.size());
        QCOMPARE(values, int(registryKeyTable().size()));
        QCOMPARE(values, 20);
        QCOMPARE(store().read(RegistryKeys::CommPort), 1);
        QCOMPARE(QString(graphMenuKeys().locked.subKey), QStringLiteral("\\Options\\GraphMenu"));
        store().write(graphMenuKeys().navigatorX, 300);
        QCOMPARE(store().read(graphMenuKeys().navigatorX), 300);
        QCOMPARE(store().read(mainMenuKeys().navigatorX), 0);
    }
};

QTEST_GUILESS_MAIN(TestRegistryRoutines)
#include "tst_registry_routines.moc"
