#include "app/ManualForm.h"

#include "platform/Shell.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#if defined(TRACTION_HAVE_PDF)
#include <QPdfDocument>
#include <QPdfView>
#endif

TManual::TManual(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Manual"));
    setWindowTitle(QStringLiteral("Manual"));
    resize(562, 640);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
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
    auto *view = new QPdfView(this);
    view->setObjectName(QStringLiteral("PdfViewer"));
    view->setAccessibleName(QStringLiteral("Manual"));
    view->setPageMode(QPdfView::PageMode::MultiPage);
    view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    view->setDocument(m_document);
    m_viewer = view;
    m_layout->addWidget(view);
    m_fileName = path;
    show();
    raise();
    activateWindow();
    view->setFocus();
    return true;
#else
    // No viewer built in: the desktop's own PDF viewer shows the same file.
    return Shell::instance().openUrl(QUrl::fromLocalFile(path));
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

void TManual::closeEvent(QCloseEvent *event)
{
    release();
    QWidget::closeEvent(event);
}

void TManual::release()
{
    delete m_viewer;
    m_viewer = nullptr;
    delete m_document;
    m_document = nullptr;
    m_fileName.clear();
}
