// The numeric edit boxes of the settings pages, the wheel diameter dialog and the channel setup
// dialogs, typed into key by key, by xdotool on an X server or as X11 delivers keys (RealKeys.h).

#include "RealKeys.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "graph/ui/GraphForm.h"
#include "graph/ui/SetupForm.h"
#include "settings/FieldTable.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/WDC_Unit.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace RealKeys;

namespace {

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
}

// The next control Tab (or Shift+Tab) reaches from 'from' in its window.
QWidget *tabNeighbour(QWidget *from, bool forward)
{
    QWidget *w = from;
    do {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        QWidget *target = w->focusProxy() ? w->focusProxy() : w;
        if (target != from && (target->focusPolicy() & Qt::TabFocus) && target->isVisible() && target->isEnabled() &&
            target->window() == from->window())
            return target;
    } while (w != from);
    return from;
}

// The 26 settings edit boxes, from the field table.
QList<const Field *> editFields()
{
    QList<const Field *> fields;
    for (const Field &f : fieldTable()) {
        if (f.form == FieldForm::Hundredths || f.form == FieldForm::Tenths || f.form == FieldForm::Whole ||
            f.form == FieldForm::Integer)
            fields << &f;
    }
    return fields;
}

void showSheetOf(TAFrame &frame, QWidget *control)
{
    for (int i = 0; i < frame.PageControl1->count(); ++i) {
        if (frame.PageControl1->widget(i)->isAncestorOf(control))
            frame.PageControl1->setCurrentIndex(i);
    }
}

}  // namespace

#define TYPE(keys) QVERIFY2(type(keys), keys)

class TestNumberKeys : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        QLocale::setDefault(QLocale::c());
        qInfo() << "platform" << QGuiApplication::platformName() << (realKeys() ? "(keys typed by xdotool)" : "");
    }

    // Every settings box: characters other than digits and one separator stay out, the box's
    // limit holds, and the keys that move and edit do their work.
    void settingsBoxesTakeNumbersAndEditingKeys()
    {
        ScriptedDialogs dialogs;
        TAFrame frame;
        frame.resize(760, 441);
        frame.FillPagesFromImage(SettingsImage());
        const QList<const Field *> fields = editFields();
        QCOMPARE(fields.size(), 26);
        for (const Field *field : fields) {
            auto *box = frame.findChild<QLineEdit *>(QString::fromLatin1(field->control));
            QVERIFY2(box, field->control);
            showSheetOf(frame, box);
            QVERIFY2(focusInto(box), field->control);
            const QString typed = QStringLiteral("1.23").left(field->maxLength);
            TYPE("ctrl+a 1 a minus space period 2 period 3");
            QTRY_COMPARE_WITH_TIMEOUT(box->text(), typed, Patience);
            if (field->maxLength >= 4) {
                TYPE("Home Delete End BackSpace Left 4 Home 5");
                QTRY_COMPARE_WITH_TIMEOUT(box->text(), QString("5.42"), Patience);
            }

            QWidget *next = tabNeighbour(box, true);
            QVERIFY2(next != box, field->control);
            TYPE("Tab");
            QTRY_VERIFY2_WITH_TIMEOUT(next->hasFocus(), qPrintable(focusName()), Patience);
            TYPE("shift+Tab");
            QTRY_VERIFY2_WITH_TIMEOUT(box->hasFocus(), qPrintable(focusName()), Patience);
            TYPE("1");  // lands in the box again, not in the neighbour
            QTRY_VERIFY_WITH_TIMEOUT(box->text().endsWith(u'1') || box->text().size() >= field->maxLength, Patience);
        }
    }

    // Copy, cut, paste and undo act in the settings boxes; pasted text is not filtered.
    void settingsBoxesKeepTheClipboardKeys()
    {
        ScriptedDialogs dialogs;
        TAFrame frame;
        frame.FillPagesFromImage(SettingsImage());
        auto *speed = frame.findChild<QLineEdit *>(QStringLiteral("Co_Mot_Speed"));
        auto *dry = frame.findChild<QLineEdit *>(QStringLiteral("Min_Difference_DRY_Threshold"));
        QVERIFY(speed && dry);
        QVERIFY(focusInto(dry));
        TYPE("ctrl+a 3");
        QTRY_COMPARE_WITH_TIMEOUT(dry->text(), QString("3"), Patience);
        QVERIFY(focusInto(speed));
        TYPE("ctrl+a 1 2 period 5 ctrl+a ctrl+c");
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(speed), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(speed->selectedText(), QString("12.5"), Patience);
        TYPE("ctrl+x");
        QTRY_COMPARE_WITH_TIMEOUT(speed->text(), QString(), Patience);
        TYPE("ctrl+z");
        QTRY_COMPARE_WITH_TIMEOUT(speed->text(), QString("12.5"), Patience);
        QVERIFY(focusInto(dry));
        TYPE("End ctrl+v");
        QTRY_COMPARE_WITH_TIMEOUT(dry->text(), QString("312.5"), Patience);
    }

    // The three lists of the wheel diameter dialog take typed sizes by the same rule.
    void wheelDiameterListsTakeNumbersAndTab()
    {
        ScriptedDialogs dialogs;
        TWDC wdc;
        wdc.move(40, 40);
        auto *width = wdc.findChild<QComboBox *>(QStringLiteral("Wheel_Width"));
        auto *height = wdc.findChild<QComboBox *>(QStringLiteral("Wheel_Height"));
        auto *radius = wdc.findChild<QComboBox *>(QStringLiteral("Wheel_Radius"));
        QVERIFY(width && height && radius);
        QVERIFY(focusInto(width));
        TYPE("ctrl+a 2 a minus 0 5");
        QTRY_COMPARE_WITH_TIMEOUT(width->currentText(), QString("205"), Patience);
        TYPE("Tab");
        QTRY_VERIFY2_WITH_TIMEOUT(height->hasFocus(), qPrintable(focusName()), Patience);
        TYPE("ctrl+a 5 space 5");
        QTRY_COMPARE_WITH_TIMEOUT(height->currentText(), QString("55"), Patience);
        TYPE("Tab ctrl+a 1 6 period 5 period 1");
        QTRY_VERIFY2_WITH_TIMEOUT(radius->hasFocus(), qPrintable(focusName()), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(radius->currentText(), QString("16.51"), Patience);
        TYPE("End BackSpace Home Delete");
        QTRY_COMPARE_WITH_TIMEOUT(radius->currentText(), QString("6.5"), Patience);
        TYPE("shift+Tab");
        QTRY_VERIFY2_WITH_TIMEOUT(height->hasFocus(), qPrintable(focusName()), Patience);
        wdc.hide();
    }

    // Edit1 of a setup dialog: the same rule, Tab leaves, Enter applies and closes.
    void setupDialogEditTakesNumbersAndTab()
    {
        ScriptedDialogs dialogs;
        TGraphChart graph(testOptions());
        graph.show();
        SetupForm *setup = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("WheelSpeedSetup"))
                setup = qobject_cast<SetupForm *>(w);
        }
        QVERIFY(setup);
        bool typedIn = false;
        QTimer::singleShot(0, [&] {
            if (!focusInto(setup->Edit1))
                return;
            QLineEdit *edit = setup->Edit1;
            if (!type("ctrl+a 1 2 period 5 period 3 minus a") ||
                !QTest::qWaitFor([&] { return edit->text() == QLatin1String("12.53"); }, Patience))
                return;
            if (!type("Home Delete") ||
                !QTest::qWaitFor([&] { return edit->text() == QLatin1String("2.53"); }, Patience))
                return;
            QWidget *next = tabNeighbour(edit, true);
            if (!type("Tab") || !QTest::qWaitFor([&] { return next->hasFocus(); }, Patience))
                return;
            if (!type("shift+Tab") || !QTest::qWaitFor([&] { return edit->hasFocus(); }, Patience))
                return;
            typedIn = type("Return");
        });
        QTimer::singleShot(6 * Patience, setup, [setup] { setup->hide(); });  // a hang ends here
        graph.WS_Setup1Execute();
        QVERIFY2(typedIn, qPrintable("text " + setup->Edit1->text() + ", focus " + focusName()));
        QCOMPARE(graph.navigation().axes.wheel.max, 2.53);
    }
};

QTEST_MAIN(TestNumberKeys)
#include "tst_number_keys.moc"
