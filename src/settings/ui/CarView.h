#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QSvgRenderer;

// The car seen from above with a channel list beside each wheel, front at the top.
class CarView : public QWidget {
    Q_OBJECT
public:
    explicit CarView(QWidget *parent = nullptr);
    // Corner 0..3: front left, front right, rear left, rear right.
    void setCorner(int corner, QComboBox *list);
    QSize sizeHint() const override { return {400, 380}; }
    QSize minimumSizeHint() const override { return {340, 330}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRectF carRect() const;
    void place();

    QSvgRenderer *m_car;
    QLabel *m_front;
    QLabel *m_rear;
    QLabel *m_names[4];
    QComboBox *m_lists[4] = {};
};
