#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"
#include "widgets/ToolbarDock.h"
#include "platform/RegistryFile.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Base = QStringLiteral("HKEY_CURRENT_USER\\Software\\Veltorane\\Veltorane Traction Control Software");

// The value as the store file holds it, read with the store's own parser.
std::optional<RegistryFile::Value> stored(const QString &subKey, const QString &name)
{
    RegistryFile file = RegistryFile::load(testOptions().storeFile());
    RegistryFile::Key *key = file.key(Base + subKey);
    if (!key)
        return std::nullopt;
    for (const RegistryFile::Value &value : key->values) {
        if (value.name == name)
            return value;
    }
    return std::nullopt;
}

QByteArray storeText()
{
    QFile file(testOptions().storeFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeStore(const QByteArray &text)
{
    QVERIFY(QDir().mkpath(testOptions().configFolder()));
    QFile file(testOptions().storeFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

}  // namespace

// What the main window keeps in the option store between starts.
class TestMainLayout : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_config.reset(new QTemporaryDir);
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    }

    void firstStartWritesTheDefaultsAndLocksTheBars()
    {
        QVERIFY(!QFile::exists(testOptions().storeFile()));
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QCOMPARE(window.pos(), QPoint(0, 0));
        QVERIFY(!window.menuBarDock()->isFloating());
        QVERIFY(!window.navigatorDock()->isFloating());
        QVERIFY(window.toolbarsLocked());
        QVERIFY(window.action("FreeToolBars1")->isVisible());
        QVERIFY(!window.action("LockToolbars1")->isVisible());

        for (const char *name : {"MenuBar Position", "MenuBar Position X", "MenuBar Position Y", "Navigator Position",
                                 "Navigator Position X", "Navigator Position Y", "Locked"}) {
            const auto value = stored("\\Options\\Menu", QString::fromLatin1(name));
            QVERIFY2(value && value->type == RegistryFile::Type::Dword && value->dword == 0, name);
        }
        for (const char *name : {"Program Top", "Program Left"}) {
            const auto value = stored("\\Options", QString::fromLatin1(name));
            QVERIFY2(value && value->type == RegistryFile::Type::Dword && value->dword == 0, name);
        }
        // A person can read and mend it.
        const QByteArray text = storeText();
        QVERIFY(text.startsWith("REGEDIT4\n"));
        QVERIFY(text.contains("[" + Base.toUtf8() + "\\Options\\Menu]\n"));
        QVERIFY(text.contains("\"Locked\"=dword:00000000\n"));
    }

    void positionsAndTheLockSurviveARestart()
    {
        {
            ScriptedDialogs dialogs;
            TForm1 window{testOptions()};
            window.show();
            window.action("FreeToolBars1")->trigger();
            QVERIFY(!window.toolbarsLocked());
            window.move(120, 90);
            window.navigatorDock()->place(true, QPoint(300, 200));
            QVERIFY(window.navigatorDock()->isFloating());
            QVERIFY(window.close());
        }
        QCOMPARE(stored("\\Options\\Menu", "Locked")->dword, 1u);
        QCOMPARE(stored("\\Options\\Menu", "Navigator Position")->dword, 1u);
        QCOMPARE(stored("\\Options\\Menu", "MenuBar Position")->dword, 0u);
        QCOMPARE(stored("\\Options", "Program Left")->dword, 120u);
        QCOMPARE(stored("\\Options", "Program Top")->dword, 90u);

        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QCOMPARE(window.pos(), QPoint(120, 90));
        QVERIFY(window.navigatorDock()->isFloating());
        QCOMPARE(window.navigatorDock()->floatingPosition(), QPoint(300, 200));
        QVERIFY(!window.menuBarDock()->isFloating());
        QVERIFY(!window.toolbarsLocked());
        QVERIFY(!window.navigatorDock()->isLocked());
        QVERIFY(window.action("LockToolbars1")->isVisible());

        // Locking again is what the next start finds.
        window.action("LockToolbars1")->trigger();
        window.action("ViewNavigatorBar")->trigger();
        QVERIFY(!window.navigatorDock()->isFloating());
        QVERIFY(window.close());
        QCOMPARE(stored("\\Options\\Menu", "Locked")->dword, 0u);
        QCOMPARE(stored("\\Options\\Menu", "Navigator Position")->dword, 0u);
        TForm1 again{testOptions()};
        QVERIFY(again.toolbarsLocked());
        QVERIFY(again.navigatorDock()->isLocked());
    }

    void aWrongTypedPositionIsReplacedByItsDefault()
    {
        writeStore("REGEDIT4\n\n[" + Base.toUtf8() +
                   "\\Options]\n\"Program Top\"=\"high up\"\n\"Program Left\"=dword:00000040\n");
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QCOMPARE(window.pos(), QPoint(64, 0));
        const auto top = stored("\\Options", "Program Top");
        QVERIFY(top && top->type == RegistryFile::Type::Dword);
        QCOMPARE(top->dword, 0u);
    }

    void anyLockValueButZeroMeansFree()
    {
        writeStore("REGEDIT4\n\n[" + Base.toUtf8() + "\\Options\\Menu]\n\"Locked\"=dword:00000005\n");
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        QVERIFY(!window.toolbarsLocked());
        QVERIFY(!window.menuBarDock()->isLocked());
        QVERIFY(!window.navigatorDock()->isLocked());
        QVERIFY(!window.action("FreeToolBars1")->isVisible());
        QVERIFY(window.action("LockToolbars1")->isVisible());
        QVERIFY(window.close());
        QCOMPARE(stored("\\Options\\Menu", "Locked")->dword, 1u);
    }

    // Nothing of the status bar or the pages may be cut off by the window's fixed size.
    void everyPanelIsWhollyInside()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MainStatusBar *bar = window.statusBar1();
        QCOMPARE(bar->height(), 20);
        QVERIFY(window.rect().contains(bar->geometry()));
        for (const char *name : {"MessagePanel", "ProgressPanel", "Panel3", "Panel4", "Panel5"}) {
            auto *panel = bar->findChild<QWidget *>(name);
            QVERIFY2(panel, name);
            const QRect inBar(panel->mapTo(bar, QPoint(0, 0)), panel->size());
            QVERIFY2(bar->rect().contains(inBar), name);
        }
        auto *pages = window.findChild<QWidget *>("Frame1");
        const QRect pagesInWindow(pages->mapTo(&window, QPoint(0, 0)), pages->size());
        QVERIFY(pagesInWindow.bottom() < bar->geometry().top());
        QCOMPARE(pagesInWindow.left(), 4);
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

QTEST_MAIN(TestMainLayout)
#include "tst_main_layout.moc"
