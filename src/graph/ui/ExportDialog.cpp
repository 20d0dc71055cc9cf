#include "graph/ui/ExportDialog.h"

#include "widgets/AccessibleNames.h"
#include "widgets/Dialogs.h"
#include "graph/ui/GraphAnalysis.h"
#include "graph/ui/SlipTrace.h"
#include "graph/ui/GraphForm.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace {

enum Page { PicturePage, NativePage, DataPage };

constexpr int MaxPictureSide = 20000;

QString latin(const char *s) { return QString::fromLatin1(s); }

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);  // all or nothing: a failed export leaves the old file
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = QStringLiteral("Cannot save \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

}  // namespace

TExportDialog::TExportDialog(TGraphChart *graph) : QDialog(graph), m_graph(graph)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("Export Dialog"));
    auto *v = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("Pages"));
    m_pages->addTab(buildPicturePage(), QStringLiteral("Picture"));
    m_pages->addTab(buildNativePage(), QStringLiteral("Native"));
    m_pages->addTab(buildDataPage(), QStringLiteral("Data"));
    v->addWidget(m_pages);
    AccessibleNames::fromLabels(m_pages);
    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption, void (TExportDialog::*handler)()) {
        auto *b = new QPushButton(latin(caption), this);
        b->setObjectName(latin(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
        return b;
    };
    button("Copy", "&Copy", &TExportDialog::CopyClick);
    button("Save", "&Save...", &TExportDialog::SaveClick);
    button("Send", "S&end...", &TExportDialog::SendClick);
    buttons->addStretch();
    button("Close", "Close", &QDialog::accept);
    v->addLayout(buttons);
}

QWidget *TExportDialog::buildPicturePage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    m_pictureFormat = new QComboBox(page);
    m_pictureFormat->setObjectName(QStringLiteral("PictureFormat"));
    for (const auto &f : ChartPicture::Formats)
        m_pictureFormat->addItem(latin(f.caption));
    form->addRow(QStringLiteral("&Format:"), m_pictureFormat);
    const QSize chart = m_graph->chart()->size();
    m_aspect = chart.height() > 0 ? double(chart.width()) / chart.height() : 1;
    auto side = [&](const char *name, int value) {
        auto *s = new QSpinBox(page);
        s->setObjectName(latin(name));
        s->setRange(1, MaxPictureSide);
        s->setValue(std::max(1, value));
        s->setSuffix(QStringLiteral(" px"));
        return s;
    };
    m_width = side("PictureWidth", chart.width());
    m_height = side("PictureHeight", chart.height());
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    m_keepAspect = new QCheckBox(QStringLiteral("&Keep aspect ratio"), page);
    m_keepAspect->setObjectName(QStringLiteral("KeepAspectRatio"));
    m_keepAspect->setChecked(true);
    form->addRow(m_keepAspect);
    connect(m_width, &QSpinBox::valueChanged, this, [this] { keepAspect(true); });
    connect(m_height, &QSpinBox::valueChanged, this, [this] { keepAspect(false); });
    return page;
}

QWidget *TExportDialog::buildNativePage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    m_includeData = new QCheckBox(QStringLiteral("&Include Series data"), page);
    m_includeData->setObjectName(QStringLiteral("IncludeSeriesData"));
    m_includeData->setChecked(true);
    v->addWidget(m_includeData);
    v->addStretch();
    return page;
}

QWidget *TExportDialog::buildDataPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    m_series = new QComboBox(page);
    m_series->setObjectName(QStringLiteral("DataSeries"));
    m_series->addItem(QStringLiteral("All"));
    for (const TraceInfo &t : TraceTable)
        m_series->addItem(latin(t.title));
    form->addRow(QStringLiteral("Se&ries:"), m_series);
    v->addLayout(form);

    auto *formats = new QGroupBox(QStringLiteral("Format"), page);
    auto *fl = new QHBoxLayout(formats);
    for (const auto &f : ChartExport::DataFormats) {
        auto *r = new QRadioButton(latin(f.caption), formats);
        r->setObjectName(QStringLiteral("DataFormat_") + QString(latin(f.caption)).remove(u' '));
        fl->addWidget(r);
        m_dataFormats << r;
    }
    m_dataFormats.front()->setChecked(true);
    v->addWidget(formats);

    v->addLayout(buildDelimiters(page));

    auto check = [&](const char *name, const char *caption, bool on) {
        auto *c = new QCheckBox(latin(caption), page);
        c->setObjectName(latin(name));
        c->setChecked(on);
        v->addWidget(c);
        return c;
    };
    m_labels = check("PointLabels", "Point &labels", false);
    m_index = check("PointIndex", "Point &index", false);
    m_header = check("Header", "&Header", true);
    v->addStretch();
    return page;
}

// The delimiter of a text file: one of the list, or the user's own.
QFormLayout *TExportDialog::buildDelimiters(QWidget *page)
{
    auto *delimiters = new QHBoxLayout;
    m_delimiter = new QComboBox(page);
    m_delimiter->setObjectName(QStringLiteral("Delimiter"));
    for (const auto &d : ChartExport::Delimiters)
        m_delimiter->addItem(latin(d.caption));
    m_custom = new QLineEdit(page);
    m_custom->setObjectName(QStringLiteral("CustomDelimiter"));
    m_custom->setAccessibleName(QStringLiteral("Custom delimiter"));
    m_custom->setMaxLength(8);
    m_custom->setEnabled(false);
    delimiters->addWidget(m_delimiter);
    delimiters->addWidget(m_custom);
    auto *delimiterLabel = new QLabel(QStringLiteral("&Delimiter:"), page);
    delimiterLabel->setBuddy(m_delimiter);
    auto *below = new QFormLayout;
    below->addRow(delimiterLabel, delimiters);
    auto delimiterUsed = [this] {
        // a spreadsheet file always separates by commas
        const bool text = m_dataFormats.front()->isChecked();
        m_delimiter->setEnabled(text);
        m_custom->setEnabled(text && !ChartExport::Delimiters[size_t(m_delimiter->currentIndex())].text);
    };
    connect(m_delimiter, &QComboBox::currentIndexChanged, this, delimiterUsed);
    for (QRadioButton *r : m_dataFormats)
        connect(r, &QRadioButton::toggled, this, delimiterUsed);
    return below;
}

void TExportDialog::keepAspect(bool widthChanged)
{
    if (!m_keepAspect->isChecked() || m_aspect <= 0)
        return;
    QSpinBox *other = widthChanged ? m_height : m_width;
    const double v = widthChanged ? m_width->value() / m_aspect : m_height->value() * m_aspect;
    const QSignalBlocker block(other);
    other->setValue(std::clamp(int(std::lround(v)), 1, MaxPictureSide));
}

ChartExport::DataOptions TExportDialog::dataOptions() const
{
    ChartExport::DataOptions o;
    for (qsizetype i = 0; i < m_dataFormats.size(); ++i)
        if (m_dataFormats[i]->isChecked())
            o.format = ChartExport::DataFormats[size_t(i)].format;
    const char *d = ChartExport::Delimiters[size_t(m_delimiter->currentIndex())].text;
    o.delimiter = d ? QString::fromLatin1(d) : m_custom->text();
    if (m_series->currentIndex() > 0) {
        o.traces = {TraceTable[size_t(m_series->currentIndex() - 1)].trace};
    } else {
        o.traces = {SixChannels.begin(), SixChannels.end()};
        if (!m_graph->channels()[Trace::Blank].isEmpty())  // only .tld files fill it
            o.traces << Trace::Blank;
        // the spreadsheet gets the slip on display too (it is never part of a graph file)
        if (o.format == ChartExport::DataFormat::Excel && m_graph->traceVisible(Trace::Slip))
            o.slip = &m_graph->analysis().slipTrace().slip();
    }
    o.pointLabels = m_labels->isChecked();
    o.pointIndex = m_index->isChecked();
    o.header = m_header->isChecked();
    return o;
}

bool TExportDialog::customDelimiterMissing() const
{
    const ChartExport::DataOptions o = dataOptions();
    return m_pages->currentIndex() == DataPage && o.format == ChartExport::DataFormat::Text && o.delimiter.isEmpty();
}

TExportDialog::Export TExportDialog::current() const
{
    Export e;
    switch (m_pages->currentIndex()) {
    case PicturePage: {
        const auto &f = ChartPicture::Formats[size_t(m_pictureFormat->currentIndex())];
        e.bytes = ChartPicture::render(m_graph->chart(), f.format, QSize(m_width->value(), m_height->value()));
        e.suffix = latin(f.suffix);
        e.filter = latin(f.filter);
        e.mime = latin(f.mime);
        break;
    }
    case NativePage: {
        std::array<ChartExport::TraceLook, TraceCount> looks;
        for (const TraceInfo &t : TraceTable)
            looks[size_t(t.trace)] = {quint32(m_graph->traceColour(t.trace).rgb() & 0xFFFFFF),
                                      m_graph->traceVisible(t.trace)};
        e.bytes = ChartExport::native(m_graph->channels(), m_graph->navigation().axes, looks,
                                      m_includeData->isChecked());
        e.suffix = latin(ChartExport::NativeSuffix);
        e.filter = latin(ChartExport::NativeFilter);
        e.mime = QStringLiteral("application/json");
        e.text = true;
        break;
    }
    default: {
        const ChartExport::DataOptions o = dataOptions();
        const auto &f = ChartExport::DataFormats[size_t(o.format)];
        e.bytes = ChartExport::data(m_graph->channels(), o);
        e.suffix = latin(f.suffix);
        e.filter = latin(f.filter);
        e.mime = f.mime ? latin(f.mime) : QString();
        e.text = true;
        break;
    }
    }
    return e;
}

std::optional<TExportDialog::Export> TExportDialog::prepared()
{
    if (customDelimiterMissing()) {
        Dialogs::instance().error(QStringLiteral("Type the custom delimiter first."), this);
        return std::nullopt;
    }
    Export e = current();
    if (e.bytes.isEmpty()) {
        Dialogs::instance().error(QStringLiteral("The chart could not be drawn at that size."), this);
        return std::nullopt;
    }
    return e;
}

void TExportDialog::CopyClick()
{
    const std::optional<Export> made = prepared();
    if (!made)
        return;
    const Export &e = *made;
    auto *mime = new QMimeData;
    if (!e.mime.isEmpty())
        mime->setData(e.mime, e.bytes);
    if (e.text)
        mime->setText(QString::fromUtf8(e.bytes));
    if (e.mime == u"text/html")
        mime->setHtml(QString::fromUtf8(e.bytes));
    if (m_pages->currentIndex() == PicturePage) {
        // every program can paste pixels, whatever format was chosen
        mime->setImageData(m_graph->chart()->toPixmap(m_width->value(), m_height->value()).toImage());
    }
    QApplication::clipboard()->setMimeData(mime);
}

void TExportDialog::SaveClick()
{
    const std::optional<Export> made = prepared();
    if (!made)
        return;
    const Export &e = *made;
    Dialogs::FileRequest req;
    req.fileName = QStringLiteral("GraphChart") + e.suffix;
    req.defaultSuffix = e.suffix.mid(1);
    req.filters = {e.filter, QStringLiteral("Any File (*.*)")};
    QString path = Dialogs::instance().saveFile(req, this);
    if (path.isEmpty())
        return;
    if (req.filterIndex == 0 && QFileInfo(path).suffix().isEmpty())
        path += e.suffix;
    QString error;
    if (!writeFile(path, e.bytes, &error))
        Dialogs::instance().error(error, this);
}

QString TExportDialog::sendFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
        .filePath(QStringLiteral("Veltorane export"));
}

void TExportDialog::SendClick()
{
    const std::optional<Export> made = prepared();
    if (!made)
        return;
    const Export &e = *made;
    // the file must outlive this dialog: the mail program reads it later
    const QString folder = sendFolder();
    const QString path = QDir(folder).filePath(QStringLiteral("GraphChart") + e.suffix);
    QString error;
    if (!QDir().mkpath(folder) || !writeFile(path, e.bytes, &error)) {
        Dialogs::instance().error(error.isEmpty() ? QStringLiteral("Cannot create the folder \"%1\".").arg(folder)
                                                  : error,
                                  this);
        return;
    }
    if (Shell::instance().mailWithAttachment(QStringLiteral("GraphChart"), path))
        return;
    Shell::instance().openUrl(QUrl::fromLocalFile(folder));
    Dialogs::instance().message(
        QStringLiteral("The mail program could not take the file. It was saved as \"%1\" for you to attach.")
            .arg(QDir::toNativeSeparators(path)),
        this);
}
