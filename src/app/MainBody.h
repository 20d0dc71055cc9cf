#pragma once

#include <QWidget>

class QFrame;
class QStackedWidget;
class TAFrame;
class TBFrame;

// The window's body under the tool dock: the active-window bar, and below it the settings pages
// with the terminal page in the same place, one of them shown.
class MainBody : public QWidget {
    Q_OBJECT
public:
    explicit MainBody(QWidget *parent = nullptr);

    QFrame *shape1() const { return m_shape1; }
    QStackedWidget *pages() const { return m_pages; }
    TAFrame *frame1() const { return m_frame1; }
    TBFrame *frame2() const { return m_frame2; }

private:
    QFrame *m_shape1;
    QStackedWidget *m_pages;
    TAFrame *m_frame1;
    TBFrame *m_frame2;
};
