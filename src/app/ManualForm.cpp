#include "app/ManualForm.h"

#include "platform/Shell.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWheelEvent>

#if defined(TRACTION_HAVE_PDF)
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#endif

#include <cmath>

namespace {

constexpr qreal ZoomStep = 1.2;
constexpr qreal ZoomMin = 0.25;
constexpr qreal ZoomMax = 6;
constexpr int OutlineWidth = 220;
constexpr int NotFoundAfterMs = 3000;  // the whole manual is searched well within it
// An A4 page at its own size beside the outline, where the screen has room for it.
constexpr QSize ReadableSize(OutlineWidth + 840, 1000);

// "8. The graph window" and "The graph window" name the same chapter.
QString withoutNumber(QString title)
{
    return title.remove(QRegularExpression(QStringLiteral("^\\d+\\.\\s+"))).trimmed();
}

}  // namespace

TManual::TManual(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Manual"));
    setWindowTitle(QStringLiteral("Manual"));
    QSize size = ReadableSize;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.9).expandedTo(QSize(562, 640));
    resize(size);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("ManualSearch"));
    m_search->setAccessibleName(QStringLiteral("Search"));
    m_search->setPlaceholderText(QStringLiteral("Search (Enter: next)"));
    m_found = new QLabel(this);
    m_found->setAccessibleName(QStringLiteral("Found"));
    connect(m_search, &QLineEdit::returnPressed, this, &TManual::findNext);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 0);
    bar->addWidget(m_search, 1);
    bar->addWidget(m_found);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_splitter, 1);

    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence::ZoomIn, [this] { zoomBy(ZoomStep); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomBy(ZoomStep); }},
        {QKeySequence::ZoomOut, [this] { zoomBy(1 / ZoomStep); }},
        {QKeySequence(Qt::CTRL | Qt::Key_0), [this] { fitWidth(); }},
        {QKeySequence::Find,
         [this] {
             m_search->setFocus();
             m_search->selectAll();
         }},
    };
    for (const auto &[key, act] : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, this, act);
}

bool TManual::ShowManual(const QString &path)
{
    release();
#if defined(TRACTION_HAVE_PDF)
    m_document = new QPdfDocument(this);
    if (m_document->load(path) != QPdfDocument::Error::None) {
        release();
        return false;
    }
    m_bookmarks = new QPdfBookmarkModel(this);
    m_bookmarks->setDocument(m_document);
    m_outline = new QTreeView;
    m_outline->setObjectName(QStringLiteral("ManualOutline"));
    m_outline->setAccessibleName(QStringLiteral("Outline"));
    m_outline->setModel(m_bookmarks);
    m_outline->setHeaderHidden(true);
    m_outline->header()->setAccessibleName(QStringLiteral("Chapters"));
    m_outline->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_outline, &QTreeView::activated, this,
            [this](const QModelIndex &index) { jumpTo(index.data(int(QPdfBookmarkModel::Role::Page)).toInt()); });
    connect(m_outline, &QTreeView::clicked, this,
            [this](const QModelIndex &index) { jumpTo(index.data(int(QPdfBookmarkModel::Role::Page)).toInt()); });

    m_view = new QPdfView;
    m_view->setObjectName(QStringLiteral("PdfViewer"));
    m_view->setAccessibleName(QStringLiteral("Manual"));
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_view->setDocument(m_document);
    m_view->viewport()->installEventFilter(this);
    m_results = new QPdfSearchModel(this);
    m_results->setDocument(m_document);
    connect(m_results, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_waiting)
            findNext();
        else
            showFound();
    });

    m_splitter->addWidget(m_outline);
    m_splitter->addWidget(m_view);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({OutlineWidth, width() - OutlineWidth});
    m_fileName = path;
    show();
    raise();
    activateWindow();
    m_view->setFocus();
    return true;
#else
    // No viewer built in: the desktop's own PDF viewer shows the same file.
    return Shell::instance().openUrl(QUrl::fromLocalFile(path));
#endif
}

QWidget *TManual::viewer() const
{
#if defined(TRACTION_HAVE_PDF)
    return m_view;
#else
    return nullptr;
#endif
}

int TManual::pageCount() const
{
#if defined(TRACTION_HAVE_PDF)
    return m_document ? m_document->pageCount() : 0;
#else
    return 0;
#endif
}

int TManual::currentPage() const
{
#if defined(TRACTION_HAVE_PDF)
    return m_view ? m_view->pageNavigator()->currentPage() : -1;
#else
    return -1;
#endif
}

int TManual::chapterPage(const QString &title) const
{
#if defined(TRACTION_HAVE_PDF)
    if (!m_bookmarks)
        return -1;
    const QString wanted = withoutNumber(title);
    QList<QModelIndex> pending{QModelIndex()};
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeFirst();
        for (int row = 0; row < m_bookmarks->rowCount(parent); ++row) {
            const QModelIndex index = m_bookmarks->index(row, 0, parent);
            if (withoutNumber(index.data(int(QPdfBookmarkModel::Role::Title)).toString()) == wanted)
                return index.data(int(QPdfBookmarkModel::Role::Page)).toInt();
            pending << index;
        }
    }
#else
    Q_UNUSED(title);
#endif
    return -1;
}

bool TManual::showChapter(const QString &title)
{
    const int page = chapterPage(title);
    if (page < 0)
        return false;
    jumpTo(page);
    return true;
}

void TManual::jumpTo(int page)
{
#if defined(TRACTION_HAVE_PDF)
    if (m_view)
        m_view->pageNavigator()->jump(page, QPointF(), m_view->zoomMode() == QPdfView::ZoomMode::Custom ? zoom() : 0);
#else
    Q_UNUSED(page);
#endif
}

qreal TManual::zoom() const
{
#if defined(TRACTION_HAVE_PDF)
    if (!m_view || !m_document)
        return 1;
    if (m_view->zoomMode() == QPdfView::ZoomMode::Custom)
        return m_view->zoomFactor();
    // What fitting the width comes to: the viewport across the page at the screen's points.
    const QMargins margins = m_view->documentMargins();
    const qreal pageWidth = m_document->pagePointSize(qMax(0, currentPage())).width() * logicalDpiX() / 72.0;
    return pageWidth > 0 ? (m_view->viewport()->width() - margins.left() - margins.right()) / pageWidth : 1;
#else
    return 1;
#endif
}

void TManual::zoomBy(qreal factor)
{
#if defined(TRACTION_HAVE_PDF)
    if (!m_view)
        return;
    const qreal next = qBound(ZoomMin, zoom() * factor, ZoomMax);
    m_view->setZoomMode(QPdfView::ZoomMode::Custom);
    m_view->setZoomFactor(next);
#else
    Q_UNUSED(factor);
#endif
}

void TManual::fitWidth()
{
#if defined(TRACTION_HAVE_PDF)
    if (m_view)
        m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
#endif
}

bool TManual::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y();
            if (steps != 0)
                zoomBy(std::pow(ZoomStep, steps / 120.0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Enter goes on to the next place the text is found, after the last one back to the first.
void TManual::findNext()
{
#if defined(TRACTION_HAVE_PDF)
    if (!m_results)
        return;
    const QString text = m_search->text().trimmed();
    if (text != m_results->searchString()) {
        m_results->setSearchString(text);
        m_result = -1;
    }
    if (text.isEmpty()) {
        m_found->clear();
        return;
    }
    // The model searches page by page on a timer: the first Enter goes to the first place once found.
    const int count = m_results->rowCount({});
    if (count == 0) {
        m_waiting = true;
        m_found->setText(QStringLiteral("Searching"));
        QTimer::singleShot(NotFoundAfterMs, this, [this, text] {
            if (m_waiting && m_results && m_results->searchString() == text && m_results->rowCount({}) == 0) {
                m_waiting = false;
                m_found->setText(QStringLiteral("Not found"));
            }
        });
        return;
    }
    m_waiting = false;
    m_result = (m_result + 1) % count;
    const QPdfLink link = m_results->resultAtIndex(m_result);
    m_view->pageNavigator()->jump(link.page(), link.location(),
                                  m_view->zoomMode() == QPdfView::ZoomMode::Custom ? zoom() : 0);
    showFound();
#endif
}

// "2 of 14, page 17": the count grows while the search goes on through the pages.
void TManual::showFound()
{
#if defined(TRACTION_HAVE_PDF)
    if (m_results && m_result >= 0 && m_result < m_results->rowCount({}))
        m_found->setText(QStringLiteral("%1 of %2, page %3")
                             .arg(m_result + 1)
                             .arg(m_results->rowCount({}))
                             .arg(m_results->resultAtIndex(m_result).page() + 1));
#endif
}

void TManual::closeEvent(QCloseEvent *event)
{
    release();
    QWidget::closeEvent(event);
}

void TManual::release()
{
#if defined(TRACTION_HAVE_PDF)
    delete m_outline;
    m_outline = nullptr;
    delete m_view;
    m_view = nullptr;
    delete m_results;
    m_results = nullptr;
    delete m_bookmarks;
    m_bookmarks = nullptr;
    delete m_document;
    m_document = nullptr;
#endif
    m_result = -1;
    m_waiting = false;
    m_found->clear();
    m_fileName.clear();
}
