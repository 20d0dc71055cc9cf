// The message log of the main window: every closing message with its time and reason, read again
// from View, "Messages" or a click on the message area, while the status bar keeps its 2 s life.
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "app/MainBars.h"
#include "app/MainMessages.h"
#include "app/MainStatusBar.h"
#include "app/MessageLog.h"
#include "app/MessageLogWindow.h"
#include "link/StatusMessages.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

// The rows of the log window as a user reads them: time, message, reason.
QList<QStringList> rows(TForm1 &window)
{
    QList<QStringList> out;
    QTreeWidget *list = window.messageLogWindow()->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = list->topLevelItem(i);
        out.append({row->text(0), row->text(1), row->text(2)});
    }
    return out;
}

}  // namespace

class TestMainMessages : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString put(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(bytes);
        return f.fileName();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8()); }

    void failedLoadsAreLoggedWithTheirReasons()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<std::pair<QString, QByteArray>> files = {{"short.dat", QByteArray(100, '\x11')},
                                                             {"notes.txt", QByteArray(256, 'a')}};
        for (const auto &[name, bytes] : files) {
            dialogs.expectOpenFile(put(name, bytes));
            window.action("Open1")->trigger();
            // The bar's own text stays as it was.
            QCOMPARE(window.statusBar1()->messageText(), QStringLiteral("File failed to load"));
        }
        dialogs.expectSaveFile(QString());
        window.action("SaveAs1")->trigger();

        // The bar clears after 2 s; the log keeps every message.
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar1()->messageText(), QString(), 5000);
        window.findChild<QAction *>("Messages1")->trigger();
        MessageLogWindow *log = window.messageLogWindow();
        QVERIFY(log && log->isVisible());
        QCOMPARE(log->windowTitle(), QStringLiteral("Messages"));
        const QList<QStringList> shown = rows(window);
        QCOMPARE(shown.size(), 3);
        for (const QStringList &row : shown)
            QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(row[0]).hasMatch(), qPrintable(row[0]));
        QCOMPARE(shown[0][1], QStringLiteral("File failed to load"));
        QCOMPARE(shown[0][2], QStringLiteral("short.dat: the file holds 100 bytes, a settings file 256"));
        QCOMPARE(shown[1][2], QStringLiteral("notes.txt: neither a .dat nor a .tra file"));
        QCOMPARE(shown[2][1], QStringLiteral("File Save failed"));
        QCOMPARE(shown[2][2], QStringLiteral("no file name chosen"));
        QVERIFY(log->list()->topLevelItem(0)->foreground(1).color() != log->list()->palette().text().color());

        if (!qEnvironmentVariableIsEmpty("TRACTION_SHOTS")) {
            QVERIFY(QTest::qWaitForWindowExposed(log));
            QTest::qWait(500);
            window.screen()->grabWindow(0).save(qEnvironmentVariable("TRACTION_SHOTS") +
                                                QStringLiteral("/message-log.png"));
        }

        // It follows what comes next while it stays open.
        window.ShowStatus(QLatin1String(StatusMessages::FileLoaded), false);
        QCOMPARE(rows(window).size(), 4);
        QCOMPARE(rows(window).last().mid(1), (QStringList{"File loaded ok", ""}));
        if (!qEnvironmentVariableIsEmpty("TRACTION_SHOTS")) {
            QTest::qWait(300);
            window.screen()->grabWindow(0).save(qEnvironmentVariable("TRACTION_SHOTS") +
                                                QStringLiteral("/message-log-follows.png"));
        }
    }

    void aClickOnTheMessageAreaOpensTheLog()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.ShowStatus(QLatin1String(StatusMessages::PrintFailed), true, QStringLiteral("no printer"));
        auto *area = window.statusBar1()->findChild<QLabel *>(QStringLiteral("MessageArea"));
        QVERIFY(area);
        QVERIFY(area->toolTip().contains(QStringLiteral("Print Page Failed: no printer")));
        QVERIFY(!window.messageLogWindow());
        QTest::mouseClick(area, Qt::LeftButton);
        QVERIFY(window.messageLogWindow() && window.messageLogWindow()->isVisible());
        QCOMPARE(rows(window).last().mid(1), (QStringList{"Print Page Failed", "no printer"}));
        // The View menu holds the same command.
        QVERIFY(window.bars().viewMenu()->actions().contains(window.findChild<QAction *>("Messages1")));
    }

    // What a sequence of the link says: its reason, and a bar that does not read as done after a
    // failure, however the sequence ends it; the next action starts from empty as ever.
    void aSequenceGivesItsReasonAndAFailureEmptiesTheBar()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        LinkHost &host = window;
        QProgressBar *bar = window.statusBar1()->progressBar();
        host.showActivity(QLatin1String(StatusMessages::ReadingMemory));
        host.setProgressMaximum(326);
        host.setProgressPosition(200);
        host.showStatusWithReason(QLatin1String(StatusMessages::MemoryReadFailed), true,
                                  QStringLiteral("the unit read back other settings"));
        host.setProgressPosition(host.progressMaximum());
        host.stepProgress(1);
        QCOMPARE(bar->value(), 0);
        const MessageLog::Entry entry = window.messages().log()->entries().last();
        QCOMPARE(entry.text, QStringLiteral("Error : reading traction memory"));
        QCOMPARE(entry.reason, QStringLiteral("the unit read back other settings"));
        QVERIFY(entry.isError);
        QVERIFY(qAbs(entry.time.secsTo(QDateTime::currentDateTime())) < 60);

        host.showActivity(QLatin1String(StatusMessages::WritingMemory));
        host.setProgressMaximum(356);
        host.setProgressPosition(10);
        host.showStatus(QLatin1String(StatusMessages::MemoryWritten), false);
        host.setProgressPosition(host.progressMaximum());
        QCOMPARE(bar->value(), 356);
        QVERIFY(window.messages().log()->entries().last().reason.isEmpty());
    }

    void theLogKeepsTheNewestMessages()
    {
        MessageLog log;
        for (int i = 0; i < MessageLog::Kept + 20; ++i)
            log.add(QString::number(i), false, {});
        QCOMPARE(log.entries().size(), MessageLog::Kept);
        QCOMPARE(log.entries().first().text, QStringLiteral("20"));
        QCOMPARE(log.entries().last().text, QString::number(MessageLog::Kept + 19));
    }
};

QTEST_MAIN(TestMainMessages)
#include "tst_main_messages.moc"
