#include "graph/ui/SecondCursor.h"

#include "graph/RunPace.h"
#include "graph/RunStats.h"
#include "graph/Slip.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/OverlayTraces.h"
#include "graph/ui/SlipTrace.h"
#include "settings/FieldConversions.h"

#include <QAbstractButton>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace {

// The cursor table's rows, in the panel's order.
constexpr std::array<std::pair<Trace, const char *>, 7> TableRows{{{Trace::WheelSpeedFL, "CH1"},
                                                                   {Trace::WheelSpeedFR, "CH2"},
                                                                   {Trace::WheelSpeedRL, "CH3"},
                                                                   {Trace::WheelSpeedRR, "CH4"},
                                                                   {Trace::RPM, "RPM"},
                                                                   {Trace::CutLevel, "Cut"},
                                                                   {Trace::Slip, Slip::Title}}};
constexpr const char *ColumnTitles[] = {"Cursor", "Cursor 2", "Difference", "Overlay", "Overlay 2"};

QString shown(std::optional<double> v) { return v ? formatGeneral(*v) : QStringLiteral(" "); }

}  // namespace

SecondCursor::SecondCursor(TGraphChart &graph, const SlipTrace &slip, const OverlayTraces &overlay, const RunPace &pace)
    : QObject(&graph), m_g(graph), m_slip(slip), m_overlay(overlay), m_pace(pace)
{
    m_line = new QCPItemStraightLine(graph.chart());
    m_line->setObjectName(QStringLiteral("Cursor2"));
    m_line->setLayer(QStringLiteral("cursor"));
    m_line->setPen(QPen(QColor(160, 0, 160), 1, Qt::DashDotLine));
    m_line->setClipToAxisRect(true);
    m_line->setVisible(false);
    buildPanel();
    graph.addGesture(this);
    connect(&graph, &TGraphChart::cursorValuesChanged, this, &SecondCursor::refresh);
    connect(&graph, &TGraphChart::dataChanged, this, &SecondCursor::refresh);
    connect(&graph, &TGraphChart::runActiveChanged, this, [this] { place(); });
    connect(&graph, &TGraphChart::printing, this, [this](bool on) { place(!on); });
    connect(&overlay, &OverlayTraces::changed, this, &SecondCursor::updatePanelVisibility);
}

void SecondCursor::buildPanel()
{
    m_dock = new QDockWidget(QStringLiteral("Cursors"), &m_g);
    m_dock->setObjectName(QStringLiteral("CursorPanel"));
    auto *body = new QWidget(m_dock);
    auto *v = new QVBoxLayout(body);
    v->setContentsMargins(4, 4, 4, 4);
    m_table = new QTableWidget(int(TableRows.size()), ColumnCount, body);
    m_table->setObjectName(QStringLiteral("CursorTable"));
    m_table->setAccessibleName(QStringLiteral("Cursors"));
    for (int col = 0; col < ColumnCount; ++col)
        m_table->setHorizontalHeaderItem(col, new QTableWidgetItem(QString::fromLatin1(ColumnTitles[col])));
    for (size_t r = 0; r < TableRows.size(); ++r) {
        m_table->setVerticalHeaderItem(int(r), new QTableWidgetItem(QString::fromLatin1(TableRows[r].second)));
        for (int col = 0; col < ColumnCount; ++col) {
            auto *item = new QTableWidgetItem(QStringLiteral(" "));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_table->setItem(int(r), col, item);
        }
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setAccessibleName(QStringLiteral("Cursors"));
    m_table->verticalHeader()->setAccessibleName(QStringLiteral("Channels"));
    m_table->setCornerButtonEnabled(false);
    for (QAbstractButton *corner : m_table->findChildren<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select all"));
    // sized by refresh, column by column as their texts change: sizing to contents here would
    // lay out every cell again for each cell a cursor step changes
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->resizeColumnsToContents();
    m_table->resizeRowsToContents();
    v->addWidget(m_table);
    m_span = new QLabel(body);
    m_span->setObjectName(QStringLiteral("CursorSpan"));
    m_span->setAccessibleName(QStringLiteral("Span"));
    m_span->setWordWrap(true);
    v->addWidget(m_span);
    m_dock->setWidget(body);
    m_g.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
}

SecondCursor::RowTexts SecondCursor::rowTexts(size_t row, double a) const
{
    const Trace t = TableRows[row].first;
    const bool isSlip = t == Trace::Slip;
    const auto valueAt = [&](const Channels &chs, double time) {
        return isSlip ? m_slip.slipAt(chs, time) : valueAtTime(chs[t], time);
    };
    const auto text = isSlip ? &Slip::text : +shown;
    const auto va = valueAt(m_g.channels(), a);
    const auto vb = m_x ? valueAt(m_g.channels(), *m_x) : std::nullopt;
    RowTexts texts{text(va), text(vb), va && vb ? text(*vb - *va) : QStringLiteral(" "), QStringLiteral(" "),
                   QStringLiteral(" ")};
    if (m_overlay.isOpen()) {
        const Overlay &o = m_overlay.run();
        texts[OverlayAtCursor] = text(valueAt(o.channels, o.timeUnder(a)));
        if (m_x)
            texts[OverlayAtCursor2] = text(valueAt(o.channels, o.timeUnder(*m_x)));
    }
    return texts;
}

QString SecondCursor::spanText(double a) const
{
    QString span;
    if (m_x) {
        const qsizetype n = RunStats::Span{a, *m_x}.samples();
        const QString seconds = QString::number(double(n - 1) * m_pace.secondsPerSample(), 'f', 3);
        span = QStringLiteral("Span: %1 samples, %2 s").arg(n).arg(seconds);
    } else {
        span = QStringLiteral("Ctrl+click the chart to place the second cursor");
    }
    if (m_overlay.isOpen())
        span += QStringLiteral("\nOverlay: %1, shifted %2 samples")
                    .arg(QFileInfo(m_overlay.run().path).fileName())
                    .arg(m_overlay.run().offset);
    return span + QStringLiteral("\nTime base: ") + m_pace.text() + QStringLiteral("\nSettings: ") +
           m_g.settingsNamed();
}

void SecondCursor::refresh()
{
    if (!m_dock->isVisible())
        return;
    const double a = m_g.cursor();
    const bool overlayOpen = m_overlay.isOpen();
    const auto hide = [this](int col, bool hidden) {
        if (m_table->isColumnHidden(col) != hidden)
            m_table->setColumnHidden(col, hidden);
    };
    hide(OverlayAtCursor, !overlayOpen);
    hide(OverlayAtCursor2, !overlayOpen || !m_x);
    hide(AtCursor2, !m_x);
    hide(Difference, !m_x);
    std::array<bool, ColumnCount> changed{};
    for (size_t r = 0; r < TableRows.size(); ++r) {
        const RowTexts texts = rowTexts(r, a);
        for (int col = 0; col < ColumnCount; ++col) {
            QTableWidgetItem *item = m_table->item(int(r), col);
            if (item->text() != texts[size_t(col)]) {
                item->setText(texts[size_t(col)]);
                changed[size_t(col)] = true;
            }
        }
    }
    for (int col = 0; col < ColumnCount; ++col)
        if (changed[size_t(col)])
            m_table->resizeColumnToContents(col);
    m_span->setText(spanText(a));
}

void SecondCursor::updatePanelVisibility()
{
    const bool want = m_x.has_value() || m_overlay.isOpen();
    if (want != m_dock->isVisible())
        m_dock->setVisible(want);
}

void SecondCursor::set(std::optional<double> x, bool showPanel)
{
    m_x = x ? std::optional<double>(std::trunc(*x)) : std::nullopt;
    place();
    if (showPanel)
        updatePanelVisibility();
    m_g.chart()->layer(QStringLiteral("cursor"))->replot();
    refresh();
}

void SecondCursor::place(bool shown)
{
    const double x = m_x.value_or(0);
    m_line->point1->setCoords(x, 0);
    m_line->point2->setCoords(x, 1);
    m_line->setVisible(shown && m_x && !m_g.runActive());
}

bool SecondCursor::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double t)
{
    if (button != Qt::LeftButton || m_g.runActive() || !(modifiers & Qt::ControlModifier))
        return false;
    set(t, false);
    return true;
}

void SecondCursor::move(double t) { set(t, false); }

void SecondCursor::release(double t) { set(t); }
