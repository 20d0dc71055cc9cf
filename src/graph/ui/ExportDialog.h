#pragma once

#include "graph/ChartExport.h"
#include "graph/ui/ChartPicture.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class TGraphChart;

// "Export Dialog": gathers what to export and where; the formats themselves are ChartExport's
// (data, native) and ChartPicture's (pictures).
class TExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TExportDialog(TGraphChart *graph);

    // What the open page would export now.
    struct Export {
        QByteArray bytes;
        QString suffix;
        QString filter;
        QString mime;
        bool text = false;  // also offered as plain text on the clipboard
    };
    Export current() const;

    void CopyClick();
    void SaveClick();
    void SendClick();

    // Where "S&end..." puts the file it attaches or leaves for the user.
    static QString sendFolder();

private:
    QWidget *buildPicturePage();
    QWidget *buildNativePage();
    QWidget *buildDataPage();
    QFormLayout *buildDelimiters(QWidget *page);
    void keepAspect(bool widthChanged);
    ChartExport::DataOptions dataOptions() const;
    bool customDelimiterMissing() const;
    // current(), or nothing after telling the user why not
    std::optional<Export> prepared();

    TGraphChart *m_graph;
    QTabWidget *m_pages = nullptr;
    QComboBox *m_pictureFormat = nullptr;
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
    QCheckBox *m_keepAspect = nullptr;
    double m_aspect = 1;
    QCheckBox *m_includeData = nullptr;
    QComboBox *m_series = nullptr;
    QList<QRadioButton *> m_dataFormats;
    QComboBox *m_delimiter = nullptr;
    QLineEdit *m_custom = nullptr;
    QCheckBox *m_labels = nullptr;
    QCheckBox *m_index = nullptr;
    QCheckBox *m_header = nullptr;
};
