#include "TestOptions.h"
#include "../link/SimUnit.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr int MotSpeedOffset = 18;  // image word shown by Co_Mot_Speed
const char LoadQuestion[] = "Changed data has not been saved\n\r           or sent to unit.\n\r\n\r"
                            " Overwrite current data with\n\r          data from file ?";

// A .tra file of zero words but the one that fills Co_Mot_Speed.
QByteArray traWithMotSpeed(quint16 value, int size = 480)
{
    QByteArray tra(size, '\0');
    if (size >= 18)
        qToLittleEndian<quint16>(value, tra.data() + 16);
    return tra;
}

SettingsImage imageWithMotSpeed(quint16 value)
{
    SettingsImage image = SettingsImage::defaults();
    image.setWord(MotSpeedOffset, value);
    return image;
}

}  // namespace

// Open, Import, Save and Save As of the main window, driven through its actions on real files.
class TestMainFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void openingADatFileShowsItAndNamesIt()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("track.dat", imageWithMotSpeed(1500).toByteArray());
        const QString before = motSpeed(window)->text();

        dialogs.expectOpenFile(path("track.dat"));
        window.action("Open1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        const Dialogs::FileRequest &request = dialogs.shown().first().request;
        QCOMPARE(request.filters, QStringList({"DOS Traction file format (*.Dat)",
                                               "WINDOWS Traction file Format (*.TRA)", "Any file (*.*)"}));
        QCOMPARE(window.tractionMemory().toByteArray(), get("track.dat"));
        QVERIFY(motSpeed(window)->text() != before);
        QVERIFY(window.SettingsLoaded());
        QCOMPARE(window.CurrentFileName(), path("track.dat"));
        QVERIFY(window.action("Save1")->isEnabled());
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : track.dat"));
        QCOMPARE(window.statusBar1()->messageText(), QString("File loaded ok"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Ok);
        QVERIFY(window.MessageViewTimer()->isActive());

        // The load changed what the pages show, so the next load asks first; No keeps everything.
        QVERIFY(window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QString("Modified"));
        dialogs.clear();
        dialogs.expectQuestion(false);
        window.action("Open1")->trigger();
        QCOMPARE(dialogs.lastText(), QString(LoadQuestion));
        QVERIFY2(!dialogs.shown().last().question.defaultYes, "Enter must keep the edits");
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.CurrentFileName(), path("track.dat"));
    }

    void aFileThatIsNoSettingsFileLeavesThePagesAlone()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("good.dat", imageWithMotSpeed(1500).toByteArray());
        dialogs.expectOpenFile(path("good.dat"));
        window.action("Open1")->trigger();
        const SettingsImage kept = window.tractionMemory();
        const QString shown = motSpeed(window)->text();

        put("short.dat", QByteArray(255, '\x11'));
        put("long.dat", QByteArray(257, '\x11'));
        put("notes.txt", imageWithMotSpeed(900).toByteArray());
        put("small.tra", traWithMotSpeed(900, 479));
        QVERIFY(QDir(m_dir->path()).mkpath("folder.dat"));
        for (const char *name : {"short.dat", "long.dat", "notes.txt", "small.tra", "folder.dat", "gone.dat"}) {
            dialogs.clear();
            dialogs.expectQuestion(true).expectOpenFile(path(name));
            window.action("Open1")->trigger();
            QCOMPARE(dialogs.pending(), 0);
            QCOMPARE(window.statusBar1()->messageText(), QString("File failed to load"));
            QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
            QVERIFY2(window.statusBar1()->messageToolTip().contains(name), name);
            QVERIFY(!window.SettingsLoaded());
            QCOMPARE(window.tractionMemory(), kept);
            QCOMPARE(motSpeed(window)->text(), shown);
            QCOMPARE(window.CurrentFileName(), path("good.dat"));
            QVERIFY(window.MessageViewTimer()->isActive());
        }
    }

    void aTraFileLoadsButSaveGoesOnToTheDatFile()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("base.dat", imageWithMotSpeed(1500).toByteArray());
        put("other.tra", traWithMotSpeed(2200));
        // A hand-made .tra has no wheel sizes: the load warns of them.
        dialogs.expectOpenFile(path("base.dat")).expectQuestion(true).expectOpenFile(path("other.tra")).expectWarning();
        window.action("Open1")->trigger();
        window.action("Open1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.tractionMemory().word(MotSpeedOffset), quint16(2200));
        QCOMPARE(window.tractionMemory().word(86), quint16(0xFFFF));
        QVERIFY(window.SettingsLoaded());
        QCOMPARE(window.CurrentFileName(), path("base.dat"));
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : base.dat"));

        window.action("Save1")->trigger();
        QCOMPARE(get("base.dat").size(), 256);
        QCOMPARE(qFromBigEndian<quint16>(get("base.dat").constData() + MotSpeedOffset), quint16(2200));
        QCOMPARE(qFromBigEndian<quint16>(get("base.BAK").constData() + MotSpeedOffset), quint16(1500));
        QCOMPARE(get("other.tra"), traWithMotSpeed(2200));
        QVERIFY(!window.Modified());
        QCOMPARE(window.statusBar1()->modifiedText(), QString());
        QCOMPARE(window.statusBar1()->messageText(), QString("File Saved ok"));
    }

    void aTraFileTheSystemRefusesIsReportedAsSuch()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QVERIFY(QDir(m_dir->path()).mkpath("locked.tra"));
        window.ShowStatus("earlier", false);
        dialogs.expectOpenFile(path("locked.tra")).expectError();
        window.action("Open1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY2(dialogs.lastText().startsWith("Cannot open file"), qPrintable(dialogs.lastText()));
        QVERIFY(dialogs.lastText().contains("locked.tra"));
        QCOMPARE(window.statusBar1()->messageText(), QString("earlier"));
        QCOMPARE(window.tractionMemory(), SettingsImage::defaults());
        QVERIFY(!window.MessageViewTimer()->isActive());
    }

    void importTakesOnlyTraFiles()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("good.dat", imageWithMotSpeed(1500).toByteArray());
        put("car.tra", traWithMotSpeed(1800));

        dialogs.expectOpenFile(path("good.dat"));
        window.action("Import1")->trigger();
        QCOMPARE(dialogs.shown().first().request.filters,
                 QStringList({"Traction Settings file (*.tra)", "Any file (*.*)"}));
        QCOMPARE(dialogs.shown().first().request.filterIndex, 0);
        QCOMPARE(window.statusBar1()->messageText(), QString("File failed to load"));
        QCOMPARE(window.tractionMemory(), SettingsImage::defaults());
        QVERIFY(window.CurrentFileName().isEmpty());

        dialogs.clear();
        dialogs.expectOpenFile(path("car.tra")).expectWarning();
        window.action("Import1")->trigger();
        QCOMPARE(window.tractionMemory().word(MotSpeedOffset), quint16(1800));
        QVERIFY(window.SettingsLoaded());
        QVERIFY(!window.action("Save1")->isEnabled());
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : "));

        // Past the question, Import forgets the loaded state even when the dialog is cancelled.
        window.ShowStatus("earlier", false);
        dialogs.clear();
        dialogs.expectQuestion(true).expectOpenFile(QString());
        window.action("Import1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(!window.SettingsLoaded());
        QCOMPARE(window.statusBar1()->messageText(), QString("earlier"));
        QCOMPARE(window.tractionMemory().word(MotSpeedOffset), quint16(1800));
    }

    // "traction FILE", as a file manager starts it: the same load and the same messages as File, Open.
    void aFileNamedAtStartIsOpenedAsOpenDoes()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("track.dat", imageWithMotSpeed(1500).toByteArray());
        window.openSettingsFile(path("track.dat"));
        QCOMPARE(dialogs.shown().size(), 0);
        QCOMPARE(window.tractionMemory().toByteArray(), get("track.dat"));
        QCOMPARE(window.CurrentFileName(), path("track.dat"));
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : track.dat"));
        QCOMPARE(window.statusBar1()->messageText(), QString("File loaded ok"));

        // An unreadable one: the message Open gives, and the pages and file name kept.
        put("locked.dat", imageWithMotSpeed(900).toByteArray());
        QFile::setPermissions(path("locked.dat"), QFileDevice::Permissions());
        const bool root = QFile(path("locked.dat")).open(QIODevice::ReadOnly);  // root reads it anyway
        dialogs.expectQuestion(true);
        window.openSettingsFile(root ? path("gone.dat") : path("locked.dat"));
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(window.statusBar1()->messageText(), QString("File failed to load"));
        QVERIFY2(window.statusBar1()->messageToolTip().contains(root ? "gone.dat" : "locked.dat"),
                 qPrintable(window.statusBar1()->messageToolTip()));
        QCOMPARE(window.tractionMemory().toByteArray(), get("track.dat"));
        QCOMPARE(window.CurrentFileName(), path("track.dat"));

        // Changes unsaved: asked first, and No keeps them.
        dialogs.clear();
        dialogs.expectQuestion(false);
        put("car.tra", traWithMotSpeed(1800));
        window.openSettingsFile(path("car.tra"));
        QCOMPARE(dialogs.lastText(), QString(LoadQuestion));
        QCOMPARE(window.tractionMemory().toByteArray(), get("track.dat"));
    }

    void saveNeedsAFileAndKeepsTheOldOneAsBackup()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.Save1Execute();
        QCOMPARE(window.statusBar1()->messageText(), QString("File Save failed"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);
        QVERIFY(dialogs.shown().isEmpty());

        put("car.dat", imageWithMotSpeed(1500).toByteArray());
        put("car.BAK", "an older backup");
        dialogs.expectOpenFile(path("car.dat"));
        window.action("Open1")->trigger();
        motSpeed(window)->setText("9.00");
        window.action("Save1")->trigger();
        QCOMPARE(get("car.BAK"), imageWithMotSpeed(1500).toByteArray());
        QCOMPARE(get("car.dat"), window.tractionMemory().toByteArray());
        QVERIFY(get("car.dat") != get("car.BAK"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"car.BAK", "car.dat"}));
        QVERIFY(!window.Modified());
        QCOMPARE(window.statusBar1()->messageText(), QString("File Saved ok"));
    }

    void saveAsAppendsDatAndBacksUpTheFileItReplaces()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        dialogs.expectSaveFile(QString());
        window.action("SaveAs1")->trigger();
        QCOMPARE(window.statusBar1()->messageText(), QString("File Save failed"));
        QCOMPARE(dialogs.shown().first().request.filters, QStringList({"DOS Traction file format (*.Dat)"}));
        QVERIFY(!dialogs.shown().first().request.confirmOverwrite);

        put("settings.dat", "the tune of last week");
        motSpeed(window)->setText("9.00");
        dialogs.clear();
        dialogs.expectSaveFile(path("settings"), 0);
        window.action("SaveAs1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(get("settings.BAK"), QByteArray("the tune of last week"));
        QCOMPARE(get("settings.dat"), window.tractionMemory().toByteArray());
        QVERIFY(!QFile::exists(path("settings")));
        QCOMPARE(window.CurrentFileName(), path("settings.dat"));
        QVERIFY(window.action("Save1")->isEnabled());
        QVERIFY(!window.Modified());
        QCOMPARE(window.windowTitle(), QString("Veltorane Traction : settings.dat"));
        QCOMPARE(window.statusBar1()->messageText(), QString("File Saved ok"));

        // A name ending in .tra still gets the 256-byte image.
        dialogs.clear();
        dialogs.expectSaveFile(path("export.tra"));
        window.action("SaveAs1")->trigger();
        QCOMPARE(get("export.tra"), window.tractionMemory().toByteArray());
        QCOMPARE(window.CurrentFileName(), path("export.tra"));
    }

    void aFailedBackupWritesNothing()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("car.dat", imageWithMotSpeed(1500).toByteArray());
        dialogs.expectOpenFile(path("car.dat"));
        window.action("Open1")->trigger();
        motSpeed(window)->setText("9.00");
        QVERIFY(QDir(m_dir->path()).mkpath("car.BAK/inside"));

        dialogs.clear();
        dialogs.expectError();
        window.action("Save1")->trigger();
        QCOMPARE(dialogs.lastText(), QString("Unable to create backup file."));
        QCOMPARE(get("car.dat"), imageWithMotSpeed(1500).toByteArray());
        QVERIFY(QFileInfo(path("car.BAK/inside")).isDir());
        QVERIFY(window.Modified());
        QVERIFY(!window.MessageViewTimer()->isActive());

        dialogs.clear();
        dialogs.expectSaveFile(path("car.dat")).expectError();
        window.action("SaveAs1")->trigger();
        QCOMPARE(dialogs.lastText(), QString("Unable to create backup file."));
        QCOMPARE(get("car.dat"), imageWithMotSpeed(1500).toByteArray());
        QCOMPARE(window.CurrentFileName(), path("car.dat"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"car.dat"}));
    }

    void anEntryThatIsNoNumberStopsTheSaveBeforeAnyRename()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        put("car.dat", imageWithMotSpeed(1500).toByteArray());
        dialogs.expectOpenFile(path("car.dat"));
        window.action("Open1")->trigger();
        const SettingsImage loaded = window.tractionMemory();
        motSpeed(window)->setText("fast");

        dialogs.clear();
        dialogs.expectError();
        window.action("Save1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(get("car.dat"), loaded.toByteArray());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"car.dat"}));
        QCOMPARE(window.tractionMemory(), loaded);
        QVERIFY(window.Modified());

        dialogs.clear();
        dialogs.expectSaveFile(path("car")).expectError();
        window.action("SaveAs1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"car.dat"}));
        QCOMPARE(window.CurrentFileName(), path("car.dat"));
    }

    void aWriteThatFailsKeepsTheOldFileWhole()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        dialogs.expectSaveFile(path("no/such/folder/car.dat")).expectError();
        window.action("SaveAs1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY2(dialogs.lastText().startsWith("Cannot write file"), qPrintable(dialogs.lastText()));
        QVERIFY(!QFileInfo::exists(path("no")));
        QVERIFY(window.CurrentFileName().isEmpty());

        // A disk that fills mid-write: the file size limit makes the 256-byte write fail part way.
        put("car.dat", imageWithMotSpeed(1500).toByteArray());
        motSpeed(window)->setText("9.00");
        dialogs.clear();
        dialogs.expectSaveFile(path("car.dat")).expectError();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        window.action("SaveAs1")->trigger();
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY2(dialogs.lastText().startsWith("Cannot write file"), qPrintable(dialogs.lastText()));
        QCOMPARE(get("car.dat"), imageWithMotSpeed(1500).toByteArray());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList({"car.dat"}));
        QVERIFY(window.Modified());
    }

    // Settings read from a unit over a pseudo-terminal: Save has no file yet, Save As keeps them.
    void settingsReadFromTheUnitAreSavedAs()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        const QByteArray inUnit = imageWithMotSpeed(1700).toByteArray();
        SimUnit unit({"--fast"}, inUnit);
        QVERIFY(window.link().Comm1().open(unit.path));
        window.action("ReadFromTraction1")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar1()->messageText(), QString("Traction memory read OK"), 10000);
        QVERIFY(window.action("Save1")->isEnabled());

        window.action("Save1")->trigger();
        QCOMPARE(window.statusBar1()->messageText(), QString("File Save failed"));
        QCOMPARE(window.statusBar1()->messageTone(), MainStatusBar::Tone::Error);

        dialogs.expectSaveFile(path("from-car"));
        window.action("SaveAs1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(get("from-car.dat"), inUnit);
        QCOMPARE(window.statusBar1()->messageText(), QString("File Saved ok"));
    }

private:
    QString path(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }
    void put(const char *name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray get(const char *name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QLineEdit *motSpeed(TForm1 &window) { return window.findChild<QLineEdit *>("Co_Mot_Speed"); }

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestMainFiles)
#include "tst_main_files.moc"
