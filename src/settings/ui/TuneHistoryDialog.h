#pragma once

#include "settings/TuneHistory.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

// "History": the tunes kept from every read, write and save, newest first; one can be loaded
// into the pages.
class TuneHistoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TuneHistoryDialog(const TuneHistory &history, QWidget *parent = nullptr);

    QTableWidget *list() const { return m_list; }
    QPushButton *loadButton() const { return m_load; }
    QPushButton *compareButton() const { return m_compare; }
    // The selected copy, if any.
    const TuneHistory::Entry *selected() const;

signals:
    void loadRequested(const SettingsImage &image, const QString &what);
    void compareRequested(const SettingsImage &image);

private:
    void fill();
    void selectionChanged();

    TuneHistory m_history;
    QList<TuneHistory::Entry> m_entries;  // newest first, as listed
    QTableWidget *m_list;
    QLabel *m_empty;
    QPushButton *m_load;
    QPushButton *m_compare;
};
