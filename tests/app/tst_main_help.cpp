#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/About.h"
#include "app/Main.h"
#include "app/ManualForm.h"
#include "graph/ui/GraphForm.h"
#include "platform/OsInfo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeView>
#include <QWheelEvent>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const char MissingQuestion[] = "Could not find the traction manual\n\rWould you like to find it yourself ?";

QString besideTheProgram() { return QDir(QCoreApplication::applicationDirPath()).filePath("Traction_Manual.pdf"); }

// The figure /proc/meminfo gives for a field, in kilobytes.
QString meminfo(const char *field)
{
    QFile file("/proc/meminfo");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB$").arg(QLatin1String(field)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(file.readAll())).captured(1);
}

}  // namespace

// The manual window and the about box, opened from the main window.
class TestMainHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        QVERIFY2(QFile::exists(TRACTION_MANUAL_PDF), "the build makes the manual");
    }

    void cleanup() { QFile::remove(besideTheProgram()); }

    void theManualBesideTheProgramOpensAtOnce()
    {
        QVERIFY(QFile::copy(TRACTION_MANUAL_PDF, besideTheProgram()));
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.action("HelpContents1")->trigger();
        TManual *manual = window.manual();
        QVERIFY(manual->isVisible());
        QCOMPARE(manual->windowTitle(), QString("Manual"));
        // At least the old fixed page, and room for an A4 page beside the outline where the screen has it.
        QVERIFY(manual->width() >= 562 && manual->height() >= 640);
        QVERIFY(manual->width() <= QGuiApplication::primaryScreen()->availableSize().width());
        QVERIFY(manual->minimumSize() != manual->maximumSize());
        QCOMPARE(manual->fileName(), besideTheProgram());
        QVERIFY(manual->viewer());
        QVERIFY2(manual->pageCount() >= 10, qPrintable(QString::number(manual->pageCount())));
        QCOMPARE(window.action("HelpContents1")->shortcut(), QKeySequence(Qt::Key_F1));
    }

    // F1 over a page, over the terminal or in the graph window opens the manual at that chapter; the
    // outline beside the page, zoom and search move through it.
    void theManualOpensWhereTheUserIsAndMovesAsAReaderMoves()
    {
        QVERIFY(QFile::copy(TRACTION_MANUAL_PDF, besideTheProgram()));
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *pages = window.findChild<QTabWidget *>("PageControl1");
        pages->setCurrentWidget(window.findChild<QWidget *>("Wheels"));
        QTest::keyClick(&window, Qt::Key_F1);
        TManual *manual = window.manual();
        QVERIFY(manual->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(manual));
        const int wheels = manual->chapterPage("Wheels");
        QVERIFY2(wheels > 1, qPrintable(QString::number(wheels)));
        QCOMPARE(manual->currentPage(), wheels);

        // Open already: F1 over another page goes there without a new viewer.
        QWidget *viewer = manual->viewer();
        pages->setCurrentWidget(window.findChild<QWidget *>("DataLogging"));
        window.activateWindow();
        window.action("HelpContents1")->trigger();
        QCOMPARE(manual->viewer(), viewer);
        QCOMPARE(manual->currentPage(), manual->chapterPage("Data logging"));
        QVERIFY(manual->chapterPage("Data logging") >= wheels);

        window.showManualAt(QStringLiteral("The graph window"));
        QCOMPARE(manual->currentPage(), manual->chapterPage("8. The graph window"));
        QVERIFY(manual->currentPage() > manual->chapterPage("Data logging"));
        QCOMPARE(dialogs.shown().size(), 0);

        // The outline: the chapters in order, a click jumps.
        auto *outline = manual->findChild<QTreeView *>("ManualOutline");
        QVERIFY(outline && outline->isVisible());
        QCOMPARE(outline->accessibleName(), QString("Outline"));
        QVERIFY2(outline->model()->rowCount() >= 19, qPrintable(QString::number(outline->model()->rowCount())));
        const QModelIndex last = outline->model()->index(outline->model()->rowCount() - 1, 0);
        QVERIFY(last.data().toString().endsWith("Index"));
        outline->scrollTo(last);
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->visualRect(last).center());
        QCOMPARE(manual->currentPage(), manual->chapterPage("Index"));

        // The page fits the width at first; Ctrl++ and Ctrl+wheel zoom in steps, Ctrl+0 fits again.
        QWidget *page = manual->viewer();
        const qreal fitted = manual->zoom();
        QVERIFY2(fitted > 0.3 && fitted < 3, qPrintable(QString::number(fitted)));
        QTest::keyClick(page, Qt::Key_Plus, Qt::ControlModifier);
        QVERIFY(qAbs(manual->zoom() - fitted * 1.2) < 0.01);
        QWheelEvent out(QPointF(50, 50), page->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton,
                        Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(static_cast<QAbstractScrollArea *>(page)->viewport(), &out);
        QVERIFY(qAbs(manual->zoom() - fitted) < 0.01);
        QTest::keyClick(page, Qt::Key_Minus, Qt::ControlModifier);
        QVERIFY(manual->zoom() < fitted * 0.9);
        QTest::keyClick(page, Qt::Key_0, Qt::ControlModifier);
        QVERIFY(qAbs(manual->zoom() - fitted) < 0.01);

        // Search: Enter goes to the first place found, again to the next.
        auto *search = manual->findChild<QLineEdit *>("ManualSearch");
        QVERIFY(search);
        QTest::keyClicks(search, "Slip Response");
        QTest::keyClick(search, Qt::Key_Return);
        auto *found = manual->findChildren<QLabel *>().value(0);
        QTRY_VERIFY_WITH_TIMEOUT(found->text().startsWith("1 of "), 10000);
        const int first = manual->currentPage();
        QVERIFY(found->text().endsWith(QStringLiteral("page %1").arg(first + 1)));
        QTRY_VERIFY_WITH_TIMEOUT(!found->text().startsWith("1 of 1,"), 10000);  // the chapter and the index hold it too
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(found->text().startsWith("2 of "));
        search->clear();
        QTest::keyClicks(search, "no such words in it");
        QTest::keyClick(search, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(found->text(), QString("Not found"), 10000);

        // F1 in the graph window: its chapter, the manual usable beside the modal graph window.
        manual->close();
        window.graphChart()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.graphChart()));
        QTest::keyClick(window.graphChart(), Qt::Key_F1);
        QVERIFY(manual->isVisible());
        QCOMPARE(manual->currentPage(), manual->chapterPage("The graph window"));
        // Not blocked by the modal graph window: a click in its outline jumps (a click goes through the
        // window system, which drops it for a blocked window).
        auto *reopened = manual->findChild<QTreeView *>("ManualOutline");
        const QModelIndex atTheCar = reopened->model()->index(1, 0);
        QTest::mouseClick(reopened->viewport(), Qt::LeftButton, {}, reopened->visualRect(atTheCar).center());
        QCOMPARE(manual->currentPage(), manual->chapterPage("At the car"));
        window.graphChart()->close();
    }

    void aMissingManualIsAskedForAndCanBeFound()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        TManual *manual = window.manual();

        dialogs.expectQuestion(false);
        window.action("HelpContents1")->trigger();
        QCOMPARE(dialogs.texts(), QStringList{MissingQuestion});
        QVERIFY(!manual->isVisible());

        dialogs.clear();
        dialogs.expectQuestion(true).expectOpenFile("");
        window.action("HelpContents1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(!manual->isVisible());
        const Dialogs::FileRequest &request = dialogs.shown().last().request;
        QCOMPARE(request.fileName, QString("Traction_Manual"));
        QCOMPARE(request.directory, QCoreApplication::applicationDirPath());
        QCOMPARE(request.filters, QStringList{"Adobe PDF Files (*.pdf)"});

        dialogs.clear();
        dialogs.expectQuestion(true).expectOpenFile(TRACTION_MANUAL_PDF);
        window.action("HelpContents1")->trigger();
        QVERIFY(manual->isVisible());
        QCOMPARE(manual->fileName(), QString(TRACTION_MANUAL_PDF));
        QWidget *viewer = manual->viewer();

        // Open already: a second "Manual" does nothing, asks nothing.
        dialogs.clear();
        window.action("HelpContents1")->trigger();
        QCOMPARE(dialogs.shown().size(), 0);
        QCOMPARE(manual->viewer(), viewer);

        // Closing releases the viewer; the next "Manual" makes a new one.
        manual->close();
        QVERIFY(!manual->viewer());
        dialogs.expectQuestion(true).expectOpenFile(TRACTION_MANUAL_PDF);
        window.action("HelpContents1")->trigger();
        QVERIFY(manual->isVisible());
        QVERIFY(manual->viewer());
    }

    void aFileThatIsNoPdfIsReported()
    {
        QTemporaryDir dir;
        QFile notPdf(dir.filePath("notes.pdf"));
        QVERIFY(notPdf.open(QIODevice::WriteOnly));
        notPdf.write("these are notes, not a PDF");
        notPdf.close();
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        dialogs.expectQuestion(true).expectOpenFile(notPdf.fileName()).expectError();
        window.action("HelpContents1")->trigger();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(dialogs.lastText().contains(QDir::toNativeSeparators(notPdf.fileName())));
        QVERIFY(!window.manual()->isVisible());
    }

    void theAboutBoxSaysWhatItIs()
    {
        TAboutForm about;
        QCOMPARE(about.windowTitle(), QString("About tst_main_help"));
        QCOMPARE(TAboutForm::Caption("/opt/veltorane/Traction.exe"), QString("About Traction"));
        QCOMPARE(TAboutForm::VersionLine({1, 2, 3, 45}), QString("Software Version :- 1.2.3 (Build 45)"));
        QCOMPARE(about.label("Version")->text(), TAboutForm::VersionLine(ProgramVersion::current()));
        QCOMPARE(about.label("Email")->text(), QString("email : support@example.com"));
        QCOMPARE(about.label("Website")->text(), QString("website : www.example.com/traction"));
        QVERIFY(about.label("WindowsVersion")->text().contains(QSysInfo::kernelVersion()));
        QCOMPARE(about.label("TotalMemory")->text(), meminfo("MemTotal") + " total physical memory in kilobytes");
        QVERIFY(about.label("AvailableMemory")
                    ->text()
                    .contains(QRegularExpression("^\\d+ available physical memory in kilobytes$")));
        QCOMPARE(about.size(), QSize(370, 355));
        QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);

        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QPoint centre = about.screen()->availableGeometry().center();
        QVERIFY2((about.frameGeometry().center() - centre).manhattanLength() <= 2,
                 qPrintable(
                     QString("%1,%2").arg(about.frameGeometry().center().x()).arg(about.frameGeometry().center().y())));
        for (const char *name : {"Version", "WindowsVersion", "TotalMemory", "AvailableMemory", "Email"}) {
            QLabel *line = about.label(name);
            const int textCentre = line->mapTo(&about, line->contentsRect().center()).x();
            QVERIFY2(qAbs(textCentre - about.width() / 2) <= 2, name);
            QVERIFY(line->alignment() & Qt::AlignHCenter);
        }

        // The logo whole: ink in its picture, none at its right edge, past which the maker's name
        // used to run.
        QWidget *picture = about.findChild<QWidget *>(QStringLiteral("ProgramIcon"));
        QVERIFY(picture);
        const QImage shot = picture->grab().toImage();
        const QRgb ground = shot.pixel(shot.width() / 2, 0);
        const auto inkInColumn = [&](int x) {
            for (int y = 0; y < shot.height(); ++y)
                if (shot.pixel(x, y) != ground)
                    return true;
            return false;
        };
        int inked = 0;
        for (int x = 0; x < shot.width(); ++x)
            inked += inkInColumn(x);
        QVERIFY2(inked > shot.width() / 2, qPrintable(QString::number(inked)));
        if (!qEnvironmentVariableIsEmpty("TRACTION_SHOTS"))
            shot.save(qEnvironmentVariable("TRACTION_SHOTS") + QStringLiteral("/about-logo.png"));
        for (int x : {shot.width() - 2, shot.width() - 1})
            QVERIFY2(!inkInColumn(x), qPrintable(QString::number(x)));
    }

    void aLeftClickAnywhereClosesTheAboutBoxButTheLinksOpen()
    {
        RecordingShell shell;
        for (const char *target : {"WindowsVersion", "ProgramIcon", "Panel1"}) {
            TAboutForm about;
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            QTest::mouseClick(about.label("Email"), Qt::LeftButton);
            QTest::mouseClick(about.label("Website"), Qt::LeftButton);
            QVERIFY(about.isVisible());
            auto *place = about.findChild<QWidget *>(target);
            QVERIFY(place);
            // A right-button press is no click: it leaves the box open.
            QTest::mouseClick(place, Qt::RightButton, {}, QPoint(5, 5));
            QVERIFY2(about.isVisible(), target);
            QTest::mouseClick(place, Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY2(!about.isVisible(), target);
        }
        QCOMPARE(shell.opened.size(), 6);
        QCOMPARE(shell.opened[0], QUrl("mailto:support@example.com"));
        QCOMPARE(shell.opened[1], QUrl("http://www.example.com/traction"));
    }

    void shiftAndARightPressOnThePictureRollTheCredits()
    {
        TAboutForm about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto *picture = about.findChild<QWidget *>("ProgramIcon");
        auto *panel = about.findChild<QFrame *>("Panel1");
        QTest::mousePress(picture, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 20));
        QVERIFY(about.rollingCredits());
        QVERIFY(!panel->isVisible());
        QVERIFY(about.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!about.rollingCredits(), 30000);
        QVERIFY(panel->isVisible());
        QVERIFY(about.isVisible());
    }

    void aboutOpensModallyAndGoesAwayWhenClicked()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<TAboutForm *>(QApplication::activeModalWidget());
            seen = box != nullptr;
            if (box)
                QTest::mouseClick(box->label("Version"), Qt::LeftButton);
        });
        window.action("About2")->trigger();
        QVERIFY(seen);
        QVERIFY(!window.findChild<TAboutForm *>());
    }

    void theWindowsLineFollowsTheVersionRecord_data()
    {
        using P = OsInfo::WindowsVersion::Platform;
        QTest::addColumn<int>("platform");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("build");
        QTest::addColumn<QString>("servicePack");
        QTest::addColumn<QString>("line");
        QTest::newRow("XP, no service pack") << int(P::NT) << 5 << 1 << 2600 << ""
                                             << "Windows XP (Build 2600) ";
        QTest::newRow("2000 SP4") << int(P::NT) << 5 << 0 << 2195 << "Service Pack 4"
                                  << "Windows 2000 (Build 2195)  with Service Pack 4";
        QTest::newRow("NT 4.0") << int(P::NT) << 4 << 0 << 1381 << ""
                                << "Windows NT0.4 (Build 1381)  with ";
        QTest::newRow("Vista") << int(P::NT) << 6 << 0 << 6002 << "Service Pack 2"
                               << " (Build 6002)  with Service Pack 2";
        QTest::newRow("98") << int(P::Win9x) << 4 << 10 << 1998 << ""
                            << "Windows 98";
        QTest::newRow("9x unknown") << int(P::Win9x) << 4 << 3 << 0 << ""
                                    << "";
        QTest::newRow("other") << int(P::Other) << 3 << 1 << 0 << ""
                               << "";
    }
    void theWindowsLineFollowsTheVersionRecord()
    {
        QFETCH(int, platform);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, build);
        QFETCH(QString, servicePack);
        QFETCH(QString, line);
        QCOMPARE(OsInfo::windowsVersionText(
                     {OsInfo::WindowsVersion::Platform(platform), major, minor, build, servicePack}),
                 line);
    }

    void memoryInKilobytesInItsShortestForm()
    {
        QCOMPARE(OsInfo::kilobytes(8388608), QString("8192"));
        QCOMPARE(OsInfo::kilobytes(1536), QString("1.5"));
        QCOMPARE(OsInfo::kilobytes(1025), QString("1.0009765625"));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestMainHelp)
#include "tst_main_help.moc"
