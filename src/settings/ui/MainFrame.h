#pragma once

#include "settings/PageValues.h"
#include "settings/SettingsImage.h"
#include "settings/ui/PageBuilder.h"
#include "settings/ui/WDC_Unit.h"

#include <QFrame>
#include <QHash>
#include <QList>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class NumberKeyFilter;
class QPushButton;
class QSlider;
class QTabWidget;

// The settings pages: seven sheets on which every setting of the unit is edited. The controls
// hold the edited values between a fill from the settings image and the copy back into it.
class TAFrame : public QFrame {
    Q_OBJECT
public:
    explicit TAFrame(QWidget *parent = nullptr);

    // Image to pages; marks the pages modified (the caller clears the mark when it must).
    void FillPagesFromImage(const SettingsImage &image);
    // Pages to image, field by field. On an entry that does not convert the error box is shown
    // and false returned; fields before it are already stored, the rest keep their bytes.
    bool CopyPagesToImage(SettingsImage &image);

    // What every control shows now: the printout and the mail take the pages' texts from here.
    PageValues ShownValues() const;
    // Sets every control to 'values' (an undo step); raises the controls' change reports.
    void ShowValues(const PageValues &values);

    bool Modified() const { return m_modified; }
    // Clearing empties the status text; setting shows "Modified".
    void SetModified(bool modified);

    // Every hint of the pages and their tabs; the main window assigns them when first shown.
    const QList<PageHint> &Hints() const { return m_hints; }
    void AssignHints();

    // Puts a settings edit box under anyKeyPress.
    void watchKeys(QLineEdit *edit);

    // A control of the pages by its system name, or nullptr.
    QWidget *control(const QString &name) const { return m_controls.value(name); }

    // The wheel diameter dialog; made on first use unless the main window hands over its own.
    void SetWheelDiameterDialog(TWDC *dialog) { m_wdc = dialog; }
    TWDC *WDC();

    QTabWidget *PageControl1 = nullptr;
    QPushButton *DL_UploadBtn = nullptr;
    QPushButton *DL_Clear_Ram = nullptr;
    QComboBox *Test_CMiss_Type = nullptr;
    QComboBox *Test_CMiss_Time = nullptr;
    QPushButton *Test_CMiss_Send = nullptr;

    // The tyre sizes last confirmed in the calculator, per wheel.
    TyreChoice DrivenTyre;
    TyreChoice ReferenceTyre;

public slots:
    void anyChange(QObject *sender);
    // Key filter of the settings edit boxes, for typed characters only; sets 'key' to null to
    // discard it.
    void anyKeyPress(QObject *sender, QChar &key);
    void SliderChange(QSlider *slider, QLabel *caption);
    void SetAllClick(const QString &row, bool spark);
    void Sample_RateChange();
    void Driven_Dia_CalcClick();
    void Reference_Dia_CalcClick();

signals:
    // "Modified" after any change, "" when the mark is cleared: the status bar's third panel.
    void modifiedText(const QString &text);
    void modifiedChanged(bool modified);
    // Any change of a control of the pages, the control that changed (undo records it).
    void pagesChanged(QObject *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void calculate(TyreChoice &remembered, const char *diameter, const char *caption);

    NumberKeyFilter *m_keyFilter;
    QHash<QString, QWidget *> m_controls;
    QList<PageHint> m_hints;
    TWDC *m_wdc = nullptr;
    bool m_modified = false;
};
