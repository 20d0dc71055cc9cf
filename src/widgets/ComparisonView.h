#pragma once

#include "settings/SettingsDiff.h"

#include <QList>
#include <QTableWidget>

// The changes between two settings images as a table: page, setting, before, after, unit. Cut
// patterns show as rows of boxes. The write's confirmation, the comparison with the unit, a
// failed verify and the tune history all show their differences in it.
class ComparisonView : public QTableWidget {
    Q_OBJECT
public:
    enum Column { Page, Setting, Before, After, Unit, ColumnCount };

    explicit ComparisonView(QWidget *parent = nullptr);

    void setChanges(const QList<SettingChange> &changes);
    const QList<SettingChange> &changes() const { return m_changes; }

    QSize sizeHint() const override;

private:
    QList<SettingChange> m_changes;
};
