#pragma once

#include <QString>
#include <QWidget>

class QPdfDocument;
class QVBoxLayout;

// The manual window: a PDF viewer filling it, made each time the manual is shown and released
// when the window closes.
class TManual : public QWidget {
    Q_OBJECT
public:
    explicit TManual(QWidget *parent = nullptr);

    // Loads 'path' into a new viewer and shows the window; false when the file is no PDF the
    // viewer can read.
    bool ShowManual(const QString &path);

    QString fileName() const { return m_fileName; }
    QWidget *viewer() const { return m_viewer; }
    int pageCount() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void release();

    QVBoxLayout *m_layout;
    QWidget *m_viewer = nullptr;
    QPdfDocument *m_document = nullptr;
    QString m_fileName;
};
