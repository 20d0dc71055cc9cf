// The main window's frame as a user sees it: where the bars, the pages and the status panels sit,
// every message whole in its area, hints without a wait, tool bar positions kept.

#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainStatusBar.h"
#include "link/StatusMessages.h"
#include "widgets/ToolbarDock.h"
#include "platform/RegistryRoutinesUnit.h"

#include <QDirIterator>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

namespace {

QRect inWindow(const QWidget *w) { return {w->mapTo(w->window(), QPoint(0, 0)), w->size()}; }
QRect inBar(const QWidget *w, const QWidget *bar) { return {w->mapTo(bar, QPoint(0, 0)), w->size()}; }

// The width a label's text needs in the label's own font.
int textWidth(const QLabel *label, const QString &text) { return QFontMetrics(label->font()).horizontalAdvance(text); }

}  // namespace

class TestMainShell : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_config;

private slots:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    }

    // Tool dock 74 high, the active-window bar under it, the pages at (4, 80).
    void barsAndPagesSitWhereTheyBelong()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.centralWidget()->geometry().size().width(), 804);
        const QRect menu = inWindow(window.menuBarDock());
        const QRect navigator = inWindow(window.navigatorDock());
        QCOMPARE(menu.top(), 0);
        QCOMPARE(navigator.top(), menu.bottom() + 1);
        QCOMPARE(navigator.bottom() + 1, 74);
        QWidget *shape = nullptr;  // the graph window has a bar of that name too
        for (QWidget *w : window.findChildren<QWidget *>("Shape1"))
            if (w->window() == &window)
                shape = w;
        QVERIFY(shape);
        QCOMPARE(inWindow(shape), QRect(0, 74, 765, 4));
        auto *pages = window.findChild<QWidget *>("Frame1");
        QVERIFY(pages);
        QCOMPARE(inWindow(pages).topLeft(), QPoint(4, 80));
        QCOMPARE(pages->width(), 760);

        // A floating tool bar leaves the pages where they are.
        window.action("FreeToolBars1")->trigger();
        window.navigatorDock()->place(true, QPoint(500, 400));
        QTRY_VERIFY(window.navigatorDock()->isFloating());
        QTest::qWait(50);
        QCOMPARE(inWindow(shape).topLeft(), QPoint(0, 74));
        QCOMPARE(inWindow(pages).topLeft(), QPoint(4, 80));
    }

    void statusPanelsSitAtTheirLeftEdges()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MainStatusBar *bar = window.statusBar1();
        QCOMPARE(inWindow(bar), QRect(0, 520, 804, 20));
        const struct {
            const char *name;
            int left, width;
        } panels[] = {{"MessagePanel", 0, 200},
                      {"ProgressPanel", 200, 200},
                      {"Panel3", 400, 225},
                      {"Panel4", 625, 75},
                      {"Panel5", 700, 50}};
        for (const auto &p : panels) {
            auto *panel = bar->findChild<QWidget *>(p.name);
            QVERIFY2(panel, p.name);
            QCOMPARE(inBar(panel, bar), QRect(p.left, 0, p.width, 20));
        }
        QCOMPARE(inBar(bar->findChild<QLabel *>("MessageArea"), bar), QRect(2, 3, 196, 15));
        QCOMPARE(inBar(bar->progressBar(), bar), QRect(204, 6, 192, 10));
    }

    // Each text the message area can show fits it whole, OK, error or neutral, in the bars' face.
    void everyMessageFitsItsArea()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MainStatusBar *bar = window.statusBar1();
        auto *area = bar->findChild<QLabel *>("MessageArea");
        QVERIFY(area);
        if (QFile::exists("/usr/share/wine/fonts/tahoma.ttf"))
            QCOMPARE(QFontInfo(area->font()).family(), QString("Tahoma"));
        const int room = area->contentsRect().width();
        QCOMPARE(area->contentsRect().left(), 8);  // the text starts 10 pixels into the panel
        QString widest;
        for (const char *message : StatusMessages::All) {
            const QString text = QString::fromLatin1(message);
            for (bool error : {false, true}) {
                window.ShowStatus(text, error);
                QVERIFY2(!QFontInfo(area->font()).bold(), message);
                QVERIFY2(
                    textWidth(area, text) <= room,
                    qPrintable(
                        QStringLiteral("\"%1\" needs %2 px of %3").arg(text).arg(textWidth(area, text)).arg(room)));
            }
            window.ShowActivity(text);
            QVERIFY2(textWidth(area, text) <= room, message);
            if (textWidth(area, text) > textWidth(area, widest))
                widest = text;
        }
        qInfo("widest message \"%s\": %d of %d px in %s %d px", qPrintable(widest), textWidth(area, widest), room,
              qPrintable(QFontInfo(area->font()).family()), QFontInfo(area->font()).pixelSize());

        auto *modified = bar->findChild<QLabel *>("ModifiedPanel");
        auto *version = bar->findChild<QLabel *>("VersionPanel");
        QVERIFY(modified && version);
        QVERIFY(textWidth(modified, "Modified") <= modified->contentsRect().width());
        QVERIFY(textWidth(version, TForm1::GetVer()) <= version->contentsRect().width());
    }

    // The table is the one place: a text handed to the message area in the sources is a name from it.
    void messagesAreNamedFromTheTable()
    {
        const QRegularExpression literal(
            QStringLiteral("(?:show|Show)(?:Status|Activity)\\s*\\(\\s*"
                           "(?:QStringLiteral|QLatin1String|QString::fromLatin1|QString|tr)?\\s*\\(?\\s*u?\""));
        QStringList faults;
        QDirIterator files(QStringLiteral(TEST_DATA_DIR "/../../src"), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        int read = 0;
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            ++read;
            for (auto match = literal.globalMatch(text); match.hasNext();) {
                const auto m = match.next();
                faults
                    << QStringLiteral("%1:%2").arg(file.fileName()).arg(text.left(m.capturedStart()).count(u'\n') + 1);
            }
        }
        QVERIFY(read > 50);
        QVERIFY2(faults.isEmpty(),
                 qPrintable("message texts written in place, not in StatusMessages: " + faults.join(", ")));
    }

    // Hints come up at once, not after the desktop's usual pause.
    void hintsShowWithoutAWait()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *speed = window.findChild<QWidget *>("Co_Mot_Speed");
        QVERIFY(speed);
        QCOMPARE(speed->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, speed), 5);
    }

    // Docked again, a tool bar keeps where it last floated, and the store holds that place.
    void aDockedBarKeepsItsFloatingPlace()
    {
        {
            ScriptedDialogs dialogs;
            TForm1 window{testOptions()};
            window.show();
            window.action("FreeToolBars1")->trigger();
            window.navigatorDock()->place(true, QPoint(320, 240));
            QTRY_VERIFY(window.navigatorDock()->isFloating());
            window.action("ViewNavigatorBar")->trigger();
            QVERIFY(!window.navigatorDock()->isFloating());
            QCOMPARE(window.navigatorDock()->floatingPosition(), QPoint(320, 240));
            QVERIFY(window.close());
        }
        QCOMPARE(testOptions().read(mainMenuKeys().navigatorFloating), 0);
        QCOMPARE(testOptions().read(mainMenuKeys().navigatorX), 320);
        QCOMPARE(testOptions().read(mainMenuKeys().navigatorY), 240);
        // and the next run keeps it for the next close
        {
            ScriptedDialogs dialogs;
            TForm1 window{testOptions()};
            QVERIFY(!window.navigatorDock()->isFloating());
            QCOMPARE(window.navigatorDock()->floatingPosition(), QPoint(320, 240));
            QVERIFY(window.close());
        }
        QCOMPARE(testOptions().read(mainMenuKeys().navigatorX), 320);
    }
};

QTEST_MAIN(TestMainShell)
#include "tst_main_shell.moc"
