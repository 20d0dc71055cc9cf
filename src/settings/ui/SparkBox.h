#pragma once

#include <QAbstractButton>
#include <QIcon>

// The two pictures of a cut cell: the main window's Spark_bitmaps list (0 no spark, 1 spark).
namespace Spark_bitmaps {
const QIcon &noSpark();
const QIcon &spark();
}  // namespace Spark_bitmaps

// A picture check box of a cut row: checked fires the cylinder (spark), unchecked cuts it.
class SparkBox : public QAbstractButton {
    Q_OBJECT
public:
    // 'row' is the caption of the cut row's group; a screen reader reads "Sequence 1 box 7".
    SparkBox(int position, const QString &row, QWidget *parent = nullptr);
    int position() const { return m_position; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_position;
    bool m_hover = false;
};
