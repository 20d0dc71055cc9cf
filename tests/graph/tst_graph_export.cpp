#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "graph/ui/ChartPicture.h"
#include "graph/ui/ExportDialog.h"
#include "graph/ui/GraphForm.h"
#include "RecordingShell.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QPrinter>
#ifdef TRACTION_HAVE_PDF
#include <QPdfDocument>
#endif
#include <qcustomplot.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Pixels darker than the grid and lighter traces: axes, texts and the cursor line.
bool dark(const QColor &c) { return c.alpha() > 128 && c.red() < 90 && c.green() < 90 && c.blue() < 90; }

// How much of column x, between rows top and bottom, is dark (0 to 1).
double darkShare(const QImage &image, int x, int top, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y) {
        bool any = false;
        for (int dx = -1; dx <= 1; ++dx)
            any |= dark(image.pixelColor(std::clamp(x + dx, 0, image.width() - 1), y));
        n += any;
    }
    return double(n) / std::max(1, bottom - top);
}

// The smallest rectangle holding every pixel that is not white paper.
QRect inkOf(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.alpha() > 16 && c != Qt::white)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QCPItemStraightLine *cursorLine(QCustomPlot *chart)
{
    for (int i = 0; i < chart->itemCount(); ++i)
        if (auto *line = qobject_cast<QCPItemStraightLine *>(chart->item(i)))
            return line;
    return nullptr;
}

}  // namespace

class TestGraphExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TGraphChart *m_graph = nullptr;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    template <class W> W *child(TExportDialog &d, const char *name)
    {
        W *w = d.findChild<W *>(QLatin1String(name));
        if (!w)
            qFatal("no %s in the export dialog", name);
        return w;
    }
    // Saves what the dialog exports now under 'name' and returns the bytes written.
    QByteArray saved(TExportDialog &d, const QString &name, int filterIndex = 0)
    {
        ScriptedDialogs dialogs;
        dialogs.expectSaveFile(path(name), filterIndex);
        child<QPushButton>(d, "Save")->click();
        return bytesOf(path(name));
    }
    void page(TExportDialog &d, int index) { child<QTabWidget>(d, "Pages")->setCurrentIndex(index); }
    void dataChoice(TExportDialog &d, const char *series, const char *format, const char *delimiter)
    {
        page(d, 2);
        child<QComboBox>(d, "DataSeries")->setCurrentText(QLatin1String(series));
        child<QRadioButton>(d, format)->setChecked(true);
        child<QComboBox>(d, "Delimiter")->setCurrentText(QLatin1String(delimiter));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
        qputenv("TMPDIR", m_dir.path().toUtf8());  // where Send leaves its files
        m_graph = new TGraphChart(testOptions());
        m_graph->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_graph));
        // three samples as a DOS graph file holds them
        m_graph->channels().assignRecords(0,
                                          reinterpret_cast<const uchar *>("\x0A\x0B\x0C\x0D\xC8\x00"
                                                                          "\x37\x38\x39\x3A\x01\x03"
                                                                          "\xFF\x00\x80\x07\xFF\x06"),
                                          3);
        m_graph->navigation().axes.time = {0, 3};
        m_graph->applyAxes();
    }
    void cleanupTestCase() { delete m_graph; }

    void picturesAtTheChosenSize()
    {
        TExportDialog d(m_graph);
        child<QCheckBox>(d, "KeepAspectRatio")->setChecked(false);
        child<QSpinBox>(d, "PictureWidth")->setValue(640);
        child<QSpinBox>(d, "PictureHeight")->setValue(300);
        for (const char *format : {"PNG", "JPEG", "BMP"}) {
            child<QComboBox>(d, "PictureFormat")->setCurrentText(QLatin1String(format));
            // no extension typed: the format's own is added
            saved(d, QStringLiteral("chart_%1").arg(format));
            const QString file = QDir(m_dir.path()).entryList({QStringLiteral("chart_%1.*").arg(format)}).value(0);
            QVERIFY2(!file.isEmpty(), format);
            QImage image(path(file));
            QCOMPARE(image.size(), QSize(640, 300));
            // the RPM trace is drawn in blue on white: both are in the picture
            bool blue = false, white = false;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    blue |= c.blue() > 200 && c.red() < 60 && c.green() < 60;
                    white |= c == Qt::white;
                }
            QVERIFY2(blue && white, format);
        }
        QCOMPARE(QFileInfo(path("chart_JPEG.jpg")).exists(), true);

        // a raster too large to hold in memory is refused with a message, and nothing is asked
        child<QSpinBox>(d, "PictureWidth")->setValue(20000);
        child<QSpinBox>(d, "PictureHeight")->setValue(20000);
        {
            ScriptedDialogs dialogs;
            dialogs.expectError();
            child<QPushButton>(d, "Save")->click();
            QCOMPARE(dialogs.pending(), 0);
            QCOMPARE(dialogs.lastText(), QString("The chart could not be drawn at that size."));
        }
        child<QSpinBox>(d, "PictureWidth")->setValue(640);
        child<QSpinBox>(d, "PictureHeight")->setValue(300);

        child<QComboBox>(d, "PictureFormat")->setCurrentText("PDF");
        const QByteArray pdf = saved(d, "chart.pdf");
        QVERIFY(pdf.startsWith("%PDF-"));
        // one page of exactly the chosen size, in points
        QVERIFY(QRegularExpression(R"(/MediaBox \[0 0 640(\.0+)? 300(\.0+)?\])")
                    .match(QString::fromLatin1(pdf))
                    .hasMatch());
        child<QComboBox>(d, "PictureFormat")->setCurrentText("SVG");
        const QByteArray svg = saved(d, "chart.svg");
        QVERIFY(svg.startsWith("<?xml"));
        QVERIFY(svg.contains("<svg"));
        QVERIFY(svg.contains("viewBox=\"0 0 640 300\""));
        QVERIFY(svg.contains("Revolutions (RPM)"));
    }

    void keepAspectRatioFollowsTheChart()
    {
        const QSize chart = m_graph->chart()->size();
        TExportDialog d(m_graph);
        auto *w = child<QSpinBox>(d, "PictureWidth");
        auto *h = child<QSpinBox>(d, "PictureHeight");
        QCOMPARE(QSize(w->value(), h->value()), chart);
        w->setValue(chart.width() * 2);
        QCOMPARE(h->value(), chart.height() * 2);
        h->setValue(chart.height());
        QCOMPARE(w->value(), chart.width());
        child<QCheckBox>(d, "KeepAspectRatio")->setChecked(false);
        w->setValue(100);
        QCOMPARE(h->value(), chart.height());
    }

    void nativeJsonWithAndWithoutSeries()
    {
        m_graph->setTraceColour(Trace::CutLevel, QColor(1, 2, 3));
        m_graph->setTraceVisible(Trace::WheelSpeedRR, false);
        TExportDialog d(m_graph);
        page(d, 1);
        QJsonObject root = QJsonDocument::fromJson(saved(d, "with.json")).object();
        QCOMPARE(root["format"].toString(), QString("VeltoraneGraph"));
        QCOMPARE(root["version"].toInt(), 1);
        QCOMPARE(root["axes"].toObject()["time"].toObject()["max"].toDouble(), 3.0);
        QCOMPARE(root["axes"].toObject()["rpm"].toObject()["max"].toDouble(), 7500.0);
        QJsonArray traces = root["traces"].toArray();
        QCOMPARE(traces.size(), 7);
        QCOMPARE(traces[0].toObject()["title"].toString(), QString("RPM"));
        QCOMPARE(traces[0].toObject()["points"].toArray(),
                 (QJsonArray{QJsonArray{0, 7000}, QJsonArray{1, 35}, QJsonArray{2, 8925}}));
        QCOMPARE(traces[4].toObject()["title"].toString(), QString("WheelSpeedRR"));
        QCOMPARE(traces[4].toObject()["visible"].toBool(), false);
        QCOMPARE(traces[4].toObject()["points"].toArray().size(), 3);  // hidden, yet its points are there
        QCOMPARE(traces[5].toObject()["colour"].toString(), QString("#010203"));
        QCOMPARE(traces[6].toObject()["points"].toArray(), QJsonArray{});

        child<QCheckBox>(d, "IncludeSeriesData")->setChecked(false);
        root = QJsonDocument::fromJson(saved(d, "without.json")).object();
        traces = root["traces"].toArray();
        QCOMPARE(traces.size(), 7);
        for (const auto &t : traces)
            QVERIFY(!t.toObject().contains("points"));
        QCOMPARE(traces[5].toObject()["colour"].toString(), QString("#010203"));
        m_graph->setTraceVisible(Trace::WheelSpeedRR, true);
        m_graph->setTraceColour(Trace::CutLevel, QColor(255, 0, 128));
    }

    void dataInEachFormatAndDelimiter()
    {
        TExportDialog d(m_graph);
        dataChoice(d, "WheelSpeedFL", "DataFormat_Text", "Tab");
        child<QCheckBox>(d, "PointIndex")->setChecked(true);
        QCOMPARE(saved(d, "fl.txt"), QByteArray("Index\tX\tWheelSpeedFL\n0\t0\t10\n1\t1\t55\n2\t2\t255\n"));
        child<QCheckBox>(d, "PointIndex")->setChecked(false);
        child<QCheckBox>(d, "Header")->setChecked(false);
        const QList<std::pair<const char *, QByteArray>> delimiters{{"Space", "0 10\n1 55\n2 255\n"},
                                                                    {"Comma", "0,10\n1,55\n2,255\n"},
                                                                    {"Colon", "0:10\n1:55\n2:255\n"}};
        for (const auto &[name, text] : delimiters) {
            child<QComboBox>(d, "Delimiter")->setCurrentText(QLatin1String(name));
            QCOMPARE(saved(d, QStringLiteral("d_%1.txt").arg(name)), text);
        }

        // a custom delimiter must be typed before anything is written
        child<QComboBox>(d, "Delimiter")->setCurrentText("Custom");
        QVERIFY(child<QLineEdit>(d, "CustomDelimiter")->isEnabled());
        {
            ScriptedDialogs dialogs;
            dialogs.expectError();
            child<QPushButton>(d, "Save")->click();
            QCOMPARE(dialogs.pending(), 0);
            QCOMPARE(dialogs.lastText(), QString("Type the custom delimiter first."));
        }
        child<QLineEdit>(d, "CustomDelimiter")->setText(" | ");
        QCOMPARE(saved(d, "custom.txt"), QByteArray("0 | 10\n1 | 55\n2 | 255\n"));

        // all channels; Blank only once a .tld file has filled it
        child<QCheckBox>(d, "Header")->setChecked(true);
        dataChoice(d, "All", "DataFormat_Excel", "Space");
        QVERIFY(!child<QComboBox>(d, "Delimiter")->isEnabled());
        QCOMPARE(saved(d, "all.csv"),
                 QByteArray("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,CutLevel\r\n"
                            "0,7000,10,11,12,13,0\r\n1,35,55,56,57,58,3\r\n2,8925,255,0,128,7,6\r\n"));
        m_graph->channels()[Trace::Blank].append(0, 600);
        QVERIFY(saved(d, "blank.csv")
                    .startsWith("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,"
                                "CutLevel,Blank\r\n0,7000,10,11,12,13,0,600\r\n1,35,"));
        m_graph->channels()[Trace::Blank].clear();
        // the slip on display joins the spreadsheet: (12.5 - 10.5) / 10.5 at sample 0
        m_graph->setTraceVisible(Trace::Slip, true);
        QVERIFY(saved(d, "slip.csv")
                    .startsWith("X,RPM,WheelSpeedFL,WheelSpeedFR,WheelSpeedRL,WheelSpeedRR,"
                                "CutLevel,Slip %\r\n0,7000,10,11,12,13,0,19.05\r\n1,35,"));
        m_graph->setTraceVisible(Trace::Slip, false);

        dataChoice(d, "CutLevel", "DataFormat_XML", "Space");
        child<QCheckBox>(d, "PointLabels")->setChecked(true);
        QCOMPARE(saved(d, "cut.xml"), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<chart>\n"
                                                 "  <point Label=\"\" X=\"0\" CutLevel=\"0\"/>\n"
                                                 "  <point Label=\"\" X=\"1\" CutLevel=\"3\"/>\n"
                                                 "  <point Label=\"\" X=\"2\" CutLevel=\"6\"/>\n</chart>\n"));
        child<QCheckBox>(d, "PointLabels")->setChecked(false);
        dataChoice(d, "RPM", "DataFormat_HTMLTable", "Space");
        QCOMPARE(saved(d, "rpm.html"), QByteArray("<table border=\"1\">\n<tr><th>X</th><th>RPM</th></tr>\n"
                                                  "<tr><td>0</td><td>7000</td></tr>\n"
                                                  "<tr><td>1</td><td>35</td></tr>\n"
                                                  "<tr><td>2</td><td>8925</td></tr>\n</table>\n"));
    }

    void copyPutsTheExportOnTheClipboard()
    {
        TExportDialog d(m_graph);
        child<QCheckBox>(d, "KeepAspectRatio")->setChecked(false);
        child<QSpinBox>(d, "PictureWidth")->setValue(320);
        child<QSpinBox>(d, "PictureHeight")->setValue(200);
        child<QPushButton>(d, "Copy")->click();
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->hasImage());
        QCOMPARE(qvariant_cast<QImage>(mime->imageData()).size(), QSize(320, 200));
        QVERIFY(QImage::fromData(mime->data("image/png"), "PNG").size() == QSize(320, 200));

        dataChoice(d, "WheelSpeedFR", "DataFormat_HTMLTable", "Space");
        child<QPushButton>(d, "Copy")->click();
        mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime->text().contains("<tr><td>1</td><td>56</td></tr>"));
        QVERIFY(mime->hasHtml());
    }

    void sendAttachesOrLeavesTheFileInItsFolder()
    {
        RecordingShell shell;
        TExportDialog d(m_graph);
        dataChoice(d, "WheelSpeedRL", "DataFormat_Text", "Comma");
        child<QPushButton>(d, "Send")->click();
        QCOMPARE(shell.attached.size(), 1);
        QCOMPARE(QFileInfo(shell.attached[0]).fileName(), QString("GraphChart.txt"));
        QCOMPARE(bytesOf(shell.attached[0]), QByteArray("X,WheelSpeedRL\n0,12\n1,57\n2,128\n"));
        QVERIFY(shell.attached[0].startsWith(m_dir.path()));
        QVERIFY(shell.opened.isEmpty());

        shell.mailWorks = false;
        page(d, 0);
        ScriptedDialogs dialogs;
        dialogs.expectMessage();
        child<QPushButton>(d, "Send")->click();
        QCOMPARE(dialogs.pending(), 0);
        QCOMPARE(shell.opened, QList<QUrl>{QUrl::fromLocalFile(TExportDialog::sendFolder())});
        const QString png = QDir(TExportDialog::sendFolder()).filePath("GraphChart.png");
        QVERIFY(dialogs.lastText().contains(QDir::toNativeSeparators(png)));
        QVERIFY(!QImage(png).isNull());
    }

    void failedSaveSaysSoAndKeepsTheOldFile()
    {
        TExportDialog d(m_graph);
        dataChoice(d, "RPM", "DataFormat_Text", "Space");
        {
            ScriptedDialogs dialogs;
            dialogs.expectSaveFile(path("no/such/folder/x.txt"), 0).expectError();
            child<QPushButton>(d, "Save")->click();
            QCOMPARE(dialogs.pending(), 0);
            QVERIFY(dialogs.lastText().startsWith("Cannot save \""));
        }
        {
            ScriptedDialogs dialogs;
            dialogs.expectSaveFile("", 0);  // cancelled: nothing written, nothing said
            child<QPushButton>(d, "Save")->click();
            QCOMPARE(dialogs.pending(), 0);
        }
        QVERIFY(!QFileInfo::exists(path("no")));
    }

    void printStretchesTheChartIntoTheMarginsWithoutTheCursor()
    {
#ifndef TRACTION_HAVE_PDF
        QSKIP("no PDF reader to look at the printed page");
#else
        QCustomPlot *chart = m_graph->chart();
        m_graph->setCursor(1.5);
        const double cursorAt = chart->xAxis->coordToPixel(1.5) / chart->width();
        const double plotTop = double(chart->axisRect()->top()) / chart->height();
        const double plotBottom = double(chart->axisRect()->bottom()) / chart->height();
        // the same chart as a picture does show the cursor there: the measure can see it
        const QImage shot = QImage::fromData(ChartPicture::render(chart, ChartPicture::Format::Png, chart->size()),
                                             "PNG");
        QVERIFY(darkShare(shot, int(cursorAt * shot.width()), int(plotTop * shot.height()) + 3,
                          int(plotBottom * shot.height()) - 3) > 0.9);

        const QString pdf = path("print.pdf");
        ScriptedDialogs dialogs;
        dialogs.expectPrint([&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPageSize(QPageSize(QPageSize::A4));
        });
        chart->setBackground(QColor(255, 240, 160));
        m_graph->findChild<QAction *>("Print3")->trigger();
        chart->setBackground(Qt::white);
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(cursorLine(chart)->visible());  // back once printed

        QPdfDocument doc;
        QCOMPARE(doc.load(pdf), QPdfDocument::Error::None);
        QCOMPARE(doc.pageCount(), 1);
        const QSizeF a4 = doc.pagePointSize(0);
        QCOMPARE(qRound(a4.width()), 595);
        QCOMPARE(qRound(a4.height()), 842);
        const QImage page = doc.render(0, QSize(1190, 1684));
        const double W = page.width(), H = page.height();
        // The page margins are 2 % left, 6 % top, 3 % right and 6 % bottom; the chart, its
        // background tinted to show its extent, fills the rest.
        const QRectF area(W * 0.02, H * 0.06, W * (1 - 0.02 - 0.03), H * (1 - 0.06 - 0.06));
        const QRect ink = inkOf(page);
        const struct {
            const char *edge;
            double printed, expected;
        } edges[] = {{"left", double(ink.left()), area.left()},
                     {"right", double(ink.right() + 1), area.right()},
                     {"top", double(ink.top()), area.top()},
                     {"bottom", double(ink.bottom() + 1), area.bottom()}};
        for (const auto &e : edges)
            QVERIFY2(qAbs(e.printed - e.expected) <= 2,
                     qPrintable(QString("%1 edge at %2, not %3").arg(e.edge).arg(e.printed).arg(e.expected)));

        // no cursor line on paper
        const double areaW = area.width(), areaH = area.height();
        const int x = int(area.left() + cursorAt * areaW);
        const int top = int(area.top() + plotTop * areaH) + 6, bottom = int(area.top() + plotBottom * areaH) - 6;
        QVERIFY2(darkShare(page, x, top, bottom) < 0.2, qPrintable(QString::number(darkShare(page, x, top, bottom))));
        // the traces print with real widths: the blue RPM line is there
        bool blue = false;
        for (int yy = top; yy < bottom && !blue; ++yy)
            for (int xx = int(area.left()); xx < int(area.right()) && !blue; ++xx) {
                const QColor c = page.pixelColor(xx, yy);
                blue = c.alpha() > 128 && c.blue() > 200 && c.red() < 80 && c.green() < 80;
            }
        QVERIFY(blue);
#endif
    }

    void printCancelledOrRefusedChangesNothing()
    {
        QCustomPlot *chart = m_graph->chart();
        {
            ScriptedDialogs dialogs;
            dialogs.expectPrint(nullptr);  // cancelled
            m_graph->Print3Execute();
            QCOMPARE(dialogs.pending(), 0);
            QVERIFY(cursorLine(chart)->visible());
        }
        ScriptedDialogs dialogs;
        dialogs.expectPrint([&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(path("no/such/folder/print.pdf"));
        });
        dialogs.expectError();
        m_graph->Print3Execute();
        QCOMPARE(dialogs.pending(), 0);
        QVERIFY(dialogs.lastText().contains("print.pdf"));
        QVERIFY(cursorLine(chart)->visible());
    }

    void exportCommandOpensTheDialog()
    {
        QString caption;
        QTimer::singleShot(0, this, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                caption = w->windowTitle();
                w->close();
            }
        });
        m_graph->findChild<QAction *>("Export3")->trigger();
        QCOMPARE(caption, QString("Export Dialog"));
    }
};

QTEST_MAIN(TestGraphExport)
#include "tst_graph_export.moc"
