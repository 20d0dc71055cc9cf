#include "graph/ChartExport.h"
#include "graph/Channels.h"
#include "graph/GraphFiles.h"
#include "graph/LiveFrames.h"
#include "graph/LiveLog.h"
#include "graph/Navigation.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#ifdef __GLIBC__
#include <malloc.h>
#ifdef __SANITIZE_ADDRESS__
// The sanitizer runtime's own figure (g++ ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#endif

namespace {

#ifdef __GLIBC__
// AddressSanitizer keeps a heap of its own, which glibc's figures do not see.
size_t heapInUse()
{
#ifdef __SANITIZE_ADDRESS__
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}
#endif

QByteArray dosFile(const QList<QByteArray> &records, const QByteArray &tail = {})
{
    QByteArray b(GraphFiles::DosHeaderSize, '\x5A');  // the header's contents are ignored
    for (const QByteArray &r : records)
        b += r;
    return b + tail;
}

QByteArray word(quint16 w)
{
    QByteArray b;
    b += char(w >> 8);
    b += char(w & 0xFF);
    return b;
}

QByteArray tldFile(quint16 wheelMax, quint16 rpmMax, const QList<QList<quint16>> &records)
{
    QByteArray b = QByteArray("[GRAPH DATA]") + word(wheelMax) + word(rpmMax);
    for (const auto &r : records)
        for (quint16 w : r)
            b += word(w);
    return b;
}

QList<double> ys(const Channel &c)
{
    QList<double> v;
    for (qsizetype i = 0; i < c.count(); ++i)
        v << c.y(i);
    return v;
}

QList<double> xs(const Channel &c)
{
    QList<double> v;
    for (qsizetype i = 0; i < c.count(); ++i)
        v << c.x(i);
    return v;
}

}  // namespace

class TestGraphCore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void rangeRuleOrdersAndWidens()
    {
        QCOMPARE(AxisRange::rule(10, 2), (AxisRange{2, 10}));
        QCOMPARE(AxisRange::rule(0, 0), (AxisRange{0, 1e-10}));
        QCOMPARE(AxisRange::rule(5, 5 + 1e-12).max, 5 + 1e-10);
    }

    void pointsStayInTimeOrder()
    {
        Channel c;
        for (double x : {0.0, 1.0, 2.0, 5.0, 3.0, 3.0})
            c.append(x, x * 10);
        QCOMPARE(xs(c), (QList<double>{0, 1, 2, 3, 3, 5}));
        QCOMPARE(ys(c), (QList<double>{0, 10, 20, 30, 30, 50}));
        QCOMPARE(c.lowerBound(3), 3);
        QCOMPARE(c.upperBound(3), 5);
        QCOMPARE(*c.indexAtTime(5.9), 5);
        QVERIFY(!c.indexAtTime(4.2));
    }

    void liveWindowDropsOldestAndKeepsTime()
    {
        Channel c;
        for (int i = 0; i < 5000; ++i) {
            c.append(i, i % 7);
            if (c.count() > 250)
                c.removeFirst();
        }
        QCOMPARE(c.count(), 250);
        QCOMPARE(c.firstX(), 4750.0);
        QCOMPARE(c.lastX(), 4999.0);
        QCOMPARE(c.y(0), double(4750 % 7));
        QCOMPARE(*c.indexAtTime(4800.5), 50);
        QVERIFY(!c.indexAtTime(4749));
    }

    // A live run keeps in memory only the points of the visible window: what the allocator
    // hands out for a channel that took 40000 points and kept the last 3000 is near what 3000
    // need, far from what all 40000 took.
    void aLiveWindowHoldsOnlyItsPoints()
    {
#ifndef __GLIBC__
        QSKIP("the heap in use is read from glibc");
#else
        const auto heapAfter = [](qsizetype kept) {
            const size_t before = heapInUse();
            auto c = std::make_unique<Channel>();
            for (int i = 0; i < 40000; ++i) {
                c->append(i, i % 251);
                if (i % 5000 == 4999)
                    c->minMax(0, c->count());  // the pyramid is built and then outlived
                while (c->count() > kept)
                    c->removeFirst();
            }
            return std::pair{qint64(heapInUse()) - qint64(before), c->count()};
        };
        const auto [window, windowPoints] = heapAfter(3000);
        const auto [all, allPoints] = heapAfter(40000);
        QCOMPARE(windowPoints, 3000);
        QCOMPARE(allPoints, 40000);
        const qint64 pointBytes = sizeof(double);                               // its value at least
        QVERIFY2(all >= 40000 * pointBytes, qPrintable(QString::number(all)));  // the measure sees points
        QVERIFY2(window < 2 * 3000 * pointBytes, qPrintable(QString::number(window)));
#endif
    }

    void liveSamplesSlideTheWindowAtAnyWidth()
    {
        const uchar rec[6] = {1, 2, 3, 4, 5, 6};
        for (const double width : {3.0, 2.5, 1.0, 1e-10}) {
            Channels ch;
            AxisRange time = AxisRange::rule(0, width);
            for (int i = 0; i < 10; ++i)
                ch.appendLive(rec, time);
            // the window holds what fits and moved one sample per frame beyond that
            const qsizetype held = qsizetype(std::ceil(width)) - (width == std::ceil(width) ? 0 : 1);
            QCOMPARE(ch[Trace::RPM].count(), held);
            QCOMPARE(ch[Trace::CutLevel].count(), held);
            QCOMPARE(time.min, width < 1 ? 10.0 : 10 - held);
            QVERIFY(std::abs(time.width() - AxisRange::rule(0, width).width()) < 1e-6);
            if (held) {
                QCOMPARE(ch[Trace::RPM].lastX(), 9.0);
                QCOMPARE(ch[Trace::RPM].y(0), 175.0);
            }
        }
        // a window that no longer starts at 0 slides with every frame
        Channels ch;
        AxisRange time{4, 14};
        ch.appendLive(rec, time);
        QCOMPARE(ch[Trace::WheelSpeedRR].count(), 0);
        QCOMPARE(time, (AxisRange{5, 15}));
    }

    // A run longer than the hour kept: the oldest minute makes way at once, the rest stays in
    // order at the sample numbers it had, and a new run starts from nothing.
    void aLiveRunKeepsItsLastHour()
    {
        Channels channels;
        AxisRange time{0, 250};
        LiveFrames live(channels, time);
        const qsizetype total = LiveFrames::KeptFrames + LiveFrames::KeptFrames / 60;
        std::array<quint8, 6> frame{};
        for (qsizetype i = 0; i < total; ++i) {
            frame = {quint8(i), quint8(i >> 8), quint8(i >> 16), 0, 0, 0};
            QVERIFY(live.takeFrame(frame, nullptr));
        }
        QCOMPARE(live.droppedFrames(), LiveFrames::KeptFrames / 60);
        QCOMPARE(live.keptFrames(), LiveFrames::KeptFrames);
        QCOMPARE(channels[Trace::WheelSpeedFL].count(), qsizetype(250));  // the window slid as always

        live.showWholeRun();
        const Channel &fl = channels[Trace::WheelSpeedFL];
        QCOMPARE(fl.count(), LiveFrames::KeptFrames);
        const qsizetype first = total - LiveFrames::KeptFrames;
        QCOMPARE(fl.firstX(), double(first));
        QCOMPARE(fl.y(0), double(quint8(first)));
        QCOMPARE(channels[Trace::WheelSpeedFR].y(fl.count() - 1), double(quint8((total - 1) >> 8)));
        QCOMPARE(time, AxisRange::rule(double(first), double(total - 1)));

        live.beginRun();
        QCOMPARE(live.keptFrames(), qsizetype(0));
        QCOMPARE(live.droppedFrames(), qsizetype(0));
    }

    void liveLogHoldsEachRecordAsItComes()
    {
        LiveLog log;
        QString error;
        const QString path = write("live.dat", "an older run");
        QCOMPARE(log.open(path, &error), LiveLog::Opened::Yes);
        QCOMPARE(read(m_dir.filePath("live.BAK")), QByteArray("an older run"));
        QVERIFY(log.append(reinterpret_cast<const uchar *>("\x01\x02\x03\x04\x05\x06"), &error));
        QVERIFY(log.append(reinterpret_cast<const uchar *>("abcdef"), &error));
        // read while still open: nothing waits in a buffer of ours
        QCOMPARE(read(path), QByteArray(252, '\0') + "\x01\x02\x03\x04\x05\x06" + "abcdef");
        log.close();
        QVERIFY(!log.isOpen());
        QCOMPARE(log.open(m_dir.filePath("no/such/folder/x.dat"), &error), LiveLog::Opened::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(QDir(m_dir.path()).mkdir("stuck.BAK"));
        QCOMPARE(log.open(write("stuck.dat", "mine"), &error), LiveLog::Opened::BackupFailed);
        QCOMPARE(error, QString("Unable to create backup file."));
        QCOMPARE(read(m_dir.filePath("stuck.dat")), QByteArray("mine"));
    }

    void pyramidAgreesWithEveryPoint()
    {
        // A new draw each run; TRACTION_TEST_SEED repeats the one a failure names.
        const quint32 seed = qEnvironmentVariableIsSet("TRACTION_TEST_SEED") ? qgetenv("TRACTION_TEST_SEED").toUInt()
                                                                             : QRandomGenerator::system()->generate();
        const auto nameTheSeed = qScopeGuard([seed] {
            if (QTest::currentTestFailed())
                qWarning("pyramidAgreesWithEveryPoint drew with TRACTION_TEST_SEED=%u", seed);
        });
        QRandomGenerator random(seed);
        Channel c;
        std::vector<double> v(100000);
        for (double &y : v)
            y = random.bounded(256);
        const std::vector<double> copy = v;
        c.assign(0, std::move(v));
        for (int k = 0; k < 300; ++k) {
            const qsizetype a = random.bounded(100000);
            const qsizetype b = a + 1 + random.bounded(100000 - int(a));
            const auto [mn, mx] = std::minmax_element(copy.begin() + a, copy.begin() + b);
            const Channel::MinMax m = c.minMax(a, b);
            QCOMPARE(m.min, *mn);
            QCOMPARE(m.max, *mx);
        }
        // a live window: the oldest points leave from under a pyramid built before; half way
        // a skipped sample gives the points X of their own, and now and then one arrives late
        Channel live;
        for (int i = 0; i < 40000; ++i) {
            live.append(i < 20000 ? i : i + 1, random.bounded(256));
            if (i > 20000 && i % 1500 == 0)
                live.append(i - 10.5, 300);  // inserted in time order, a new maximum
            while (live.count() > 3000)
                live.removeFirst();
            if (i % 997 == 0 || i % 3001 == 0 || i % 1500 == 1499) {  // the last: just before a late point
                const qsizetype a = random.bounded(int(live.count()));
                const qsizetype b = a + 1 + random.bounded(int(live.count() - a));
                for (auto [from, to] : {std::pair{a, b}, std::pair{qsizetype(0), live.count()}}) {
                    double mn = 1e9, mx = -1e9;
                    for (qsizetype j = from; j < to; ++j) {
                        mn = std::min(mn, live.y(j));
                        mx = std::max(mx, live.y(j));
                    }
                    const Channel::MinMax m = live.minMax(from, to);
                    QCOMPARE(m.min, mn);
                    QCOMPARE(m.max, mx);
                }
                for (qsizetype j = 1; j < live.count(); ++j)
                    QVERIFY(live.x(j - 1) <= live.x(j));
            }
        }
        QCOMPARE(live.count(), 3000);
        QCOMPARE(live.lastX(), 40000.0);
        // a spike of one sample survives decimation to 800 columns
        Channel d;
        std::vector<double> flat(1000000, 50.0);
        flat[654321] = 255;
        d.assign(0, std::move(flat));
        QList<QPointF> pts;
        d.visiblePoints(0, 1000000, 800, pts);
        QVERIFY(pts.size() <= 2 * 800 + 2);
        QVERIFY(std::any_of(pts.begin(), pts.end(), [](QPointF p) { return p.y() == 255; }));
        d.visiblePoints(1000, 1100, 800, pts);  // few points: every one, plus a neighbour each side
        QCOMPARE(pts.size(), 103);
        QCOMPARE(pts.front().x(), 999.0);
    }

    void keyboardZoomSteps()
    {
        Navigation n;
        QCOMPARE(n.zoomIn(false), 125.0);
        QCOMPARE(n.axes.time, (AxisRange{2.5, 247.5}));
        QVERIFY(n.hasSavedView());
        n.zoomOut(false);  // step 2.45
        QCOMPARE(n.axes.time.min, 2.5 - 2.45);
        QCOMPARE(n.axes.time.max, 247.5 + 2.45);
        n.zoomOut(false);  // step 2.499 > min: back to the saved view
        QCOMPARE(n.axes.time, (AxisRange{0, 250}));
        QVERIFY(!n.hasSavedView());
        n.zoomIn(true);
        QCOMPARE(n.axes.time, (AxisRange{12.5, 237.5}));
        n.axes.wheel = {0, 90};
        n.undoZoom();
        QCOMPARE(n.axes.wheel, (AxisRange{0, 200}));  // the saved view holds the value axes too
        n.axes.time = {0, 100};
        n.undoZoom();  // nothing saved: nothing changes
        QCOMPARE(n.axes.time, (AxisRange{0, 100}));
    }

    void cursorScrollsTheView()
    {
        Navigation n;
        QCOMPARE(n.checkValidCursorPosition(-0.3, 1000), 0.0);
        QCOMPARE(n.axes.time, (AxisRange{0, 250}));
        n.axes.time = {100, 350};
        QCOMPARE(n.checkValidCursorPosition(99.6, 1000), 100.0);
        QCOMPARE(n.axes.time, (AxisRange{80, 330}));
        QCOMPARE(n.checkValidCursorPosition(331, 1000), 330.0);
        QCOMPARE(n.axes.time, (AxisRange{100, 350}));
        QCOMPARE(n.checkValidCursorPosition(351, 350), 350.0);  // RPM ends at max
        QCOMPARE(n.axes.time, (AxisRange{120, 350}));
        QCOMPARE(n.clickCursor(-1.5), 120.0);
        QCOMPARE(n.clickCursor(200.7), 200.0);
        QCOMPARE(n.clickCursor(999), 350.0);
    }

    void dosFileEdgeCases()
    {
        Channels ch;
        ch[Trace::Blank].append(0, 9);
        auto r = GraphFiles::loadDos(write("a.dat", dosFile({QByteArray("\x01\x02\x03\x04\xC8\x05", 6),
                                                             QByteArray("\xFF\x00\x10\x20\xFF\x06", 6)},
                                                            "\x01\x02\x03\x04")),
                                     ch);
        QCOMPARE(r.status, GraphFiles::LoadResult::Loaded);
        QCOMPARE(r.samples, 2);
        QCOMPARE(ys(ch[Trace::WheelSpeedFL]), (QList<double>{1, 255}));
        QCOMPARE(ys(ch[Trace::WheelSpeedFR]), (QList<double>{2, 0}));
        QCOMPARE(ys(ch[Trace::WheelSpeedRL]), (QList<double>{3, 16}));
        QCOMPARE(ys(ch[Trace::WheelSpeedRR]), (QList<double>{4, 32}));
        QCOMPARE(ys(ch[Trace::RPM]), (QList<double>{7000, 8925}));
        QCOMPARE(ys(ch[Trace::CutLevel]), (QList<double>{5, 6}));
        QCOMPARE(xs(ch[Trace::RPM]), (QList<double>{0, 1}));
        QCOMPARE(ch[Trace::Blank].count(), 1);

        // header only, and a settings image: zero samples
        QCOMPARE(GraphFiles::loadDos(write("h.dat", dosFile({})), ch).samples, 0);
        QVERIFY(ch[Trace::RPM].isEmpty());
        QCOMPARE(GraphFiles::loadDos(write("s.dat", QByteArray(256, '\1')), ch).samples, 0);

        // shorter than the header: refused, and what was shown stays
        ch.appendRecord(0, reinterpret_cast<const uchar *>("\x0A\x0B\x0C\x0D\x0E\x01"));
        r = GraphFiles::loadDos(write("short.dat", QByteArray(251, '\0')), ch);
        QCOMPARE(r.status, GraphFiles::LoadResult::TooShort);
        QCOMPARE(ys(ch[Trace::WheelSpeedRR]), (QList<double>{13}));

        r = GraphFiles::loadDos(m_dir.filePath("missing.dat"), ch);
        QCOMPARE(r.status, GraphFiles::LoadResult::Failed);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(ch[Trace::RPM].count(), 1);
    }

    void windowsFileEdgeCases()
    {
        Channels ch;
        ch[Trace::Blank].append(0, 1);
        auto r = GraphFiles::loadWindows(
            write("w.tld",
                  tldFile(180, 9000, {{7010, 11, 12, 13, 14, 3, 600}, {300, 1, 2, 3, 4, 0, 7}}) + "\x01\x02\x03"),
            ch);
        QCOMPARE(r.status, GraphFiles::LoadResult::Loaded);
        QCOMPARE(r.samples, 2);
        QCOMPARE(*r.wheelMax, 180);
        QCOMPARE(*r.rpmMax, 9000);
        QCOMPARE(ys(ch[Trace::RPM]), (QList<double>{7010, 300}));
        QCOMPARE(ys(ch[Trace::WheelSpeedFL]), (QList<double>{11, 1}));
        QCOMPARE(ys(ch[Trace::WheelSpeedRR]), (QList<double>{14, 4}));
        QCOMPARE(ys(ch[Trace::CutLevel]), (QList<double>{3, 0}));
        QCOMPARE(ys(ch[Trace::Blank]), (QList<double>{1, 600, 7}));  // appended in time order
        QCOMPARE(xs(ch[Trace::Blank]), (QList<double>{0, 0, 1}));

        r = GraphFiles::loadWindows(write("h.tld", tldFile(0, 5, {})), ch);
        QCOMPARE(r.samples, 0);
        QCOMPARE(*r.wheelMax, 0);
        QVERIFY(ch[Trace::RPM].isEmpty());

        ch.appendRecord(0, reinterpret_cast<const uchar *>("\x01\x01\x01\x01\x01\x01"));
        for (const QByteArray &bad :
             {QByteArray(), QByteArray("[graph data]") + word(1) + word(1), QByteArray("[GRAPH")}) {
            QCOMPARE(GraphFiles::loadWindows(write("bad.tld", bad), ch).status, GraphFiles::LoadResult::Ignored);
            QCOMPARE(ch[Trace::RPM].count(), 1);
        }
        r = GraphFiles::loadWindows(m_dir.filePath("none.tld"), ch);
        QVERIFY(r.error.startsWith("Cannot open file \""));
    }

    void extensionsInAnyCase()
    {
        using GraphFiles::Kind;
        QCOMPARE(GraphFiles::kindOf("/x/run.Dat"), Kind::Dos);
        QCOMPARE(GraphFiles::kindOf("run.DAT"), Kind::Dos);
        QCOMPARE(GraphFiles::kindOf("a.b/run.tLd"), Kind::Windows);
        QCOMPARE(GraphFiles::kindOf("a.dat/run"), Kind::Unknown);
        QCOMPARE(GraphFiles::kindOf("run.dat.txt"), Kind::Unknown);
    }

    void saveWritesEveryRecordAndReadsBack()
    {
        Channels ch;
        QByteArray records;
        for (int i = 0; i < 1000; ++i)
            for (int v : {i, i * 3, i * 7, 255 - i % 256, i % 200, i % 7})
                records += char(v);
        ch.assignRecords(0, reinterpret_cast<const uchar *>(records.constData()), 1000);
        const QString path = m_dir.filePath("round.dat");
        QString error;
        QVERIFY(GraphFiles::saveDos(path, ch, &error));
        const QByteArray bytes = read(path);
        QCOMPARE(bytes.size(), 6252);
        QCOMPARE(bytes.left(252), QByteArray(252, '\0'));
        QCOMPARE(bytes.mid(252), records);
        Channels back;
        QCOMPARE(GraphFiles::loadDos(path, back).samples, 1000);
        for (Trace t : SixChannels)
            QCOMPARE(ys(back[t]), ys(ch[t]));

        Channels odd;  // RPM cut to multiples of 35; low 8 bits kept; truncation
        odd.appendRecord(0, reinterpret_cast<const uchar *>("\0\0\0\0\0\0"));
        odd[Trace::RPM].clear();
        odd[Trace::RPM].append(0, 7010);
        odd[Trace::WheelSpeedFL].clear();
        odd[Trace::WheelSpeedFL].append(0, 300.9);
        QCOMPARE(GraphFiles::dosBytes(odd).mid(252), QByteArray("\x2C\0\0\0\xC8\0", 6));
    }

    void backupBesideTheFile()
    {
        const QString path = write("b.dat", "old");
        write("b.BAK", "older");
        QVERIFY(GraphFiles::backupExisting(path));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(read(m_dir.filePath("b.BAK")), QByteArray("old"));
        QVERIFY(GraphFiles::backupExisting(m_dir.filePath("nothing.dat")));
        QCOMPARE(GraphFiles::savedName("/t/run", 0), QString("/t/run.dat"));
        QCOMPARE(GraphFiles::savedName("/t/run", 1), QString("/t/run"));
        QCOMPARE(GraphFiles::savedName("/t/run.x", 0), QString("/t/run.x"));
    }

    void dataExportFormats()
    {
        Channels ch;
        ch.assignRecords(0, reinterpret_cast<const uchar *>("\x01\x02\x03\x04\x02\x05"), 1);
        ChartExport::DataOptions o;
        o.traces = {Trace::RPM, Trace::WheelSpeedFL};
        o.delimiter = ";";
        o.pointIndex = true;
        QCOMPARE(ChartExport::data(ch, o), QByteArray("Index;X;RPM;WheelSpeedFL\n0;0;70;1\n"));
        o.format = ChartExport::DataFormat::Excel;
        o.pointIndex = false;
        QCOMPARE(ChartExport::data(ch, o), QByteArray("X,RPM,WheelSpeedFL\r\n0,70,1\r\n"));
        o.format = ChartExport::DataFormat::Html;
        QVERIFY(ChartExport::data(ch, o).contains("<tr><td>0</td><td>70</td><td>1</td></tr>"));
        o.format = ChartExport::DataFormat::Xml;
        QVERIFY(ChartExport::data(ch, o).contains("<point X=\"0\" RPM=\"70\" WheelSpeedFL=\"1\"/>"));

        // a long log's sample numbers stay whole numbers; fractions keep a full stop
        Channels late;
        late[Trace::CutLevel].assign(1000000, {4, 2.5});
        o = {};
        o.traces = {Trace::CutLevel};
        o.header = false;
        QCOMPARE(ChartExport::data(late, o), QByteArray("1000000 4\n1000001 2.5\n"));
    }
};

QTEST_GUILESS_MAIN(TestGraphCore)
#include "tst_graph_core.moc"
