#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "ToolRun.h"
#include "graph/ui/GraphForm.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QFileDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray word(quint16 w) { return QByteArray(1, char(w >> 8)) + char(w & 0xFF); }

}  // namespace

// Opening and saving graph files from the graph window, checked by the files and what it shows.
class TestGraphFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const { return writeFile(path(name), bytes); }
    static QByteArray records(int n)
    {
        QByteArray b;
        for (int i = 0; i < n; ++i)
            for (int v : {i % 256, (i * 3) % 256, 200, 255 - i % 256, i % 214, i % 7})
                b += char(v);
        return b;
    }
    static void open(TGraphChart &g, ScriptedDialogs &d, const QString &file)
    {
        d.expectOpenFile(file);
        g.Load3Execute();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", path("config").toUtf8()); }

    void thousandSamplesSaveToTheSameRecords()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        // the header's contents are ignored on reading and written as zeros
        open(g, d, write("in.Dat", QByteArray(252, '\x33') + records(1000)));
        QCOMPARE(g.channels()[Trace::RPM].count(), 1000);
        QCOMPARE(g.readout(Trace::WheelSpeedRL)->text(), QString("200"));  // sample 0 at the cursor
        d.expectSaveFile(path("out.dat"), 0);
        g.Save3Execute();
        QCOMPARE(d.pending(), 0);
        const QByteArray out = bytesOf(path("out.dat"));
        QCOMPARE(out.size(), 6252);
        QCOMPARE(out, QByteArray(252, '\0') + records(1000));
        // and read back through the window, every sample is what it was
        TGraphChart again(testOptions());
        open(again, d, path("out.dat"));
        for (Trace t : SixChannels)
            for (qsizetype i : {0, 1, 499, 999})
                QCOMPARE(again.channels()[t].y(i), g.channels()[t].y(i));
    }

    void saveBacksUpTheFileItWrites()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("run.dat", QByteArray(252, '\0') + records(3)));
        write("keep.dat", "an older run");
        // typed without extension: ".dat" is added, and the file under that name is kept
        d.expectSaveFile(path("keep"), 0);
        g.Save3Execute();
        QCOMPARE(d.pending(), 0);
        QCOMPARE(bytesOf(path("keep.BAK")), QByteArray("an older run"));
        QCOMPARE(bytesOf(path("keep.dat")).size(), 252 + 18);
        QVERIFY(!QFileInfo::exists(path("keep")));
        // saved again: the previous save becomes the backup
        d.expectSaveFile(path("keep.dat"), 0);
        g.Save3Execute();
        QCOMPARE(bytesOf(path("keep.BAK")).size(), 252 + 18);
        // with "Any File" chosen the name stays as typed
        d.expectSaveFile(path("plain"), 1);
        g.Save3Execute();
        QCOMPARE(bytesOf(path("plain")).size(), 252 + 18);
        QCOMPARE(d.pending(), 0);
    }

    // Through Qt's own save dialog: choosing a file that exists asks nothing, as its backup keeps it.
    void savingOverAFileAsksNothing()
    {
        TGraphChart g(testOptions());
        {
            ScriptedDialogs d;
            open(g, d, write("run.dat", QByteArray(252, '\0') + records(3)));
        }
        write("over.dat", "yesterday's run");
        QStringList asked;
        bool chosen = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                asked << box->text();
                box->reject();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && !chosen) {
                chosen = true;
                dialog->selectFile(path("over.dat"));
                // clicked outside this tick, so that a question it raises meets the next one
                QPushButton *save = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save);
                QTimer::singleShot(0, save, &QPushButton::click);
            } else if (dialog) {
                dialog->reject();  // still open after a question: give up
            }
        });
        answer.start(10);
        g.Save3Execute();
        answer.stop();
        QVERIFY(chosen);
        QCOMPARE(asked, QStringList());
        QCOMPARE(bytesOf(path("over.BAK")), QByteArray("yesterday's run"));
        QCOMPARE(bytesOf(path("over.dat")), QByteArray(252, '\0') + records(3));
    }

    void aFailedSaveSaysSoAndWritesNothing()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("run.dat", QByteArray(252, '\0') + records(3)));
        // a folder where the backup would go: the old file stays as it was
        QDir(m_dir.path()).mkdir("blocked.BAK");
        write("blocked.dat", "keep me");
        d.expectSaveFile(path("blocked.dat"), 0).expectError();
        g.Save3Execute();
        QCOMPARE(d.pending(), 0);
        QCOMPARE(d.lastText(), QString("Unable to create backup file."));
        QCOMPARE(bytesOf(path("blocked.dat")), QByteArray("keep me"));

        d.expectSaveFile(path("gone/run.dat"), 0).expectError();
        g.Save3Execute();
        QCOMPARE(d.pending(), 0);
        QVERIFY(!d.lastText().isEmpty());
        QVERIFY(!QFileInfo::exists(path("gone")));
    }

    void emptyFilesGiveEmptyTraces()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d, write("three.dat", QByteArray(252, '\0') + records(3)));
        open(g, d, write("header.dat", QByteArray(252, '\0')));
        QVERIFY(g.channels()[Trace::RPM].isEmpty());
        QCOMPARE(g.navigation().axes.time, (AxisRange{0, 1e-10}));
        QCOMPARE(g.readout(Trace::WheelSpeedFL)->text(), QString(" "));  // no point at the cursor
        // a settings image opened here is a graph of no samples, with four stray bytes
        open(g, d, write("settings.DAT", QByteArray(256, '\xFF')));
        QVERIFY(g.channels()[Trace::CutLevel].isEmpty());
        QCOMPARE(d.pending(), 0);
    }

    void windowsGraphFileSetsItsAxes()
    {
        ScriptedDialogs d;
        TGraphChart g(testOptions());
        open(g, d,
             write("a.TLD", QByteArray("[GRAPH DATA]") + word(180) + word(9000) + word(7010) + word(11) + word(12) +
                                word(13) + word(14) + word(3) + word(600) + "\x01"));
        QCOMPARE(g.channels()[Trace::RPM].y(0), 7010.0);
        QCOMPARE(g.channels()[Trace::Blank].y(0), 600.0);
        QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 180}));
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 9000}));
        QCOMPARE(g.navigation().axes.time, (AxisRange{0, 1}));
        QCOMPARE(g.navigation().axes.cut, (AxisRange{0, 6}));
        // this loader leaves the readouts as they were: empty, as no frame has come
        QCOMPARE(g.readout(Trace::RPM)->text(), QString());

        // header only: no samples, the time axis 0 to 0; a zero maximum keeps that axis usable
        open(g, d, write("b.tld", QByteArray("[GRAPH DATA]") + word(0) + word(5000)));
        QVERIFY(g.channels()[Trace::RPM].isEmpty());
        QCOMPARE(g.navigation().axes.time, (AxisRange{0, 0}));
        QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 180}));
        QCOMPARE(g.navigation().axes.rpm, (AxisRange{0, 5000}));
        QCOMPARE(g.channels()[Trace::Blank].count(), 1);  // nothing empties Blank

        // without its header text, in lower case or empty: ignored without a word
        open(g, d, write("c.tld", QByteArray("[GRAPH DATA]") + word(1) + word(1) + QByteArray(14, '\1')));
        for (const QByteArray &bad : {QByteArray("[graph data]") + QByteArray(18, '\2'), QByteArray()}) {
            open(g, d, write("bad.tld", bad));
            QCOMPARE(g.channels()[Trace::RPM].count(), 1);
            QCOMPARE(g.navigation().axes.wheel, (AxisRange{0, 1}));
        }
        QCOMPARE(d.pending(), 0);
        QCOMPARE(d.shown().size(), 5);  // the five open dialogs, nothing else
    }
};

QTEST_MAIN(TestGraphFiles)
#include "tst_graph_files.moc"
