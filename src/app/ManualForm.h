#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPdfBookmarkModel;
class QPdfDocument;
class QPdfSearchModel;
class QPdfView;
class QSplitter;
class QTreeView;

// The manual window: the outline of chapters beside the page, the page fitted to the window's
// width, zoom with Ctrl and the wheel or Ctrl++/Ctrl+-, and a search box. The viewer is made each
// time the manual is shown and released when the window closes.
class TManual : public QWidget {
    Q_OBJECT
public:
    explicit TManual(QWidget *parent = nullptr);

    // Loads 'path' into a new viewer and shows the window; false when the file is no PDF the
    // viewer can read.
    bool ShowManual(const QString &path);
    // Goes to the chapter or section titled 'title', with or without its number ("Wheels", "The
    // graph window"); false when the outline has none.
    bool showChapter(const QString &title);

    QString fileName() const { return m_fileName; }
    QWidget *viewer() const;
    int pageCount() const;
    int currentPage() const;
    // The page a chapter or section starts on (0-based), -1 when the outline has none.
    int chapterPage(const QString &title) const;
    qreal zoom() const;
    void zoomBy(qreal factor);
    void fitWidth();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void release();
    void findNext();
    void showFound();
    void jumpTo(int page);

    QSplitter *m_splitter;
    QLineEdit *m_search;
    QLabel *m_found;
#if defined(TRACTION_HAVE_PDF)
    QTreeView *m_outline = nullptr;
    QPdfView *m_view = nullptr;
    QPdfDocument *m_document = nullptr;
    QPdfBookmarkModel *m_bookmarks = nullptr;
    QPdfSearchModel *m_results = nullptr;
#endif
    int m_result = -1;
    bool m_waiting = false;  // Enter was pressed before the search found anything
    QString m_fileName;
};
