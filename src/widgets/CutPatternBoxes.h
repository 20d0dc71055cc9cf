#pragma once

#include <QString>
#include <QWidget>

// A cut pattern as a row of 20 boxes, position 1 on the left: a filled box fires (spark), an empty
// one is cut. Boxes that differ from 'other' are ringed, so a changed cell stands out at a glance.
class CutPatternBoxes : public QWidget {
    Q_OBJECT
public:
    CutPatternBoxes(const QString &cells, const QString &other, QWidget *parent = nullptr);

    QString cells() const { return m_cells; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int BoxWidth = 9;
    static constexpr int BoxHeight = 14;
    static constexpr int Gap = 2;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_cells;
    QString m_other;
};
