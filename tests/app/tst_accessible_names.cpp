#include "RealKeys.h"
#include "ScriptedDialogs.h"
#include "TestOptions.h"
#include "app/About.h"
#include "app/Main.h"
#include "app/ManualForm.h"
#include "graph/ui/ExportDialog.h"
#include "graph/ui/GraphForm.h"
#include "settings/ui/MainFrame.h"
#include "settings/ui/WDC_Unit.h"
#include "widgets/ToolbarDock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

// What a screen reader would announce for a control: its accessible name, else the text it shows.
QString nameOf(QWidget *w)
{
    if (!w->accessibleName().trimmed().isEmpty())
        return w->accessibleName();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text().remove(u'&').trimmed();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text().trimmed();
    // Tabs are read one by one, by their captions.
    QTabBar *tabs = qobject_cast<QTabBar *>(w);
    if (auto *pages = qobject_cast<QTabWidget *>(w))
        tabs = pages->tabBar();
    if (tabs) {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i).trimmed().isEmpty())
                return {};
        return QStringLiteral("tabs");
    }
    return {};
}

bool inside(QWidget *w, auto isPart)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (isPart(p))
            return true;
    return false;
}

// A control the user can reach or work: anything that takes focus, and the kinds that do.
bool interactive(QWidget *w)
{
    if (w->objectName().startsWith(u"qt_") || qobject_cast<QScrollBar *>(w) || qobject_cast<QMenu *>(w))
        return false;
    // The parts Qt builds inside a list, a spin box or a menu are named by their owner.
    if (inside(w, [](QWidget *p) { return qobject_cast<QComboBox *>(p) || qobject_cast<QAbstractSpinBox *>(p); }))
        return false;
    if (w->isWindow())
        return false;
    return w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(w) ||
           qobject_cast<QAbstractSlider *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QLineEdit *>(w) ||
           qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QAbstractItemView *>(w) ||
           qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w);
}

QString where(QWidget *w)
{
    QStringList path;
    for (QWidget *p = w; p; p = p->parentWidget())
        path.prepend(QString::fromLatin1(p->metaObject()->className()) +
                     (p->objectName().isEmpty() ? QString() : u'(' + p->objectName() + u')'));
    return path.join(QStringLiteral(" > "));
}

// Every interactive widget of the window and of the windows it owns that has no name.
QStringList unnamed(QWidget *window)
{
    QStringList found;
    for (QWidget *w : window->findChildren<QWidget *>())
        if (interactive(w) && nameOf(w).isEmpty())
            found.append(where(w));
    for (const QString &w : found)
        qWarning("no name: %s", qPrintable(w));
    return found;
}

QString named(QWidget *root, const char *objectName)
{
    auto *w = root->findChild<QWidget *>(QLatin1String(objectName));
    return w ? nameOf(w) : QStringLiteral("<no %1>").arg(QLatin1String(objectName));
}

}  // namespace

// Every control of every window read as a screen reader reads it: none without a name.
class TestAccessibleNames : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    // The main window holds its pages, terminal, port, print and manual windows and the graph
    // window with its setup dialogs.
    void everyControlOfTheMainWindowIsNamed()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        window.frame1()->WDC();  // the wheel calculator and the manual's viewer are made on first use
        QVERIFY(window.manual()->ShowManual(QStringLiteral(TRACTION_MANUAL_PDF)));
        // The manual is a window of its own (a modal graph window must not block it).
        const QStringList missing = unnamed(&window) + unnamed(window.manual());
        QVERIFY2(missing.isEmpty(), qPrintable(u'\n' + missing.join(u'\n')));

        QCOMPARE(named(&window, "Co_Mot_Speed"), QStringLiteral("Speed"));
        QCOMPARE(named(&window, "Sc_Seq1_Assert_Graphical"), QStringLiteral("Assert at"));
        QCOMPARE(named(&window, "SC_Seq1_7"), QStringLiteral("Sequence 1 box 7"));
        QCOMPARE(named(&window, "Cs_Hard_rev_20"), QStringLiteral("Hard rev-limit settings box 20"));
        QCOMPARE(named(&window, "Sensor_FL"), QStringLiteral("Front left wheel"));
        QCOMPARE(named(&window, "Sample_Rate"), QStringLiteral("Sample rate"));
        QCOMPARE(named(&window, "Test_CMiss_Time"), QStringLiteral("Misfire for"));
        // The walk reached the terminal, the manual, the graph window and its dialogs.
        QCOMPARE(named(&window, "RecievedData"), QStringLiteral("Terminal"));
        QCOMPARE(named(window.manual(), "PdfViewer"), QStringLiteral("Manual"));
        QCOMPARE(named(window.manual(), "ManualOutline"), QStringLiteral("Outline"));
        QCOMPARE(named(window.manual(), "ManualSearch"), QStringLiteral("Search"));
        QCOMPARE(named(&window, "Chart1"), QStringLiteral("Graph"));
        QCOMPARE(named(window.findChild<QWidget *>("RPMSetup"), "Edit1"), QStringLiteral("Maximum Displayed Value"));
        QCOMPARE(named(&window, "Wheel_Width"), QStringLiteral("Width (mm)"));

        // As the accessibility layer hands them out: an editable list and its edit field by the
        // list's label, not by its value; the tool bar's button for what does not fit by a name.
        for (const char *list : {"Sensor_FL", "Sample_Rate", "Test_CMiss_Type", "Test_CMiss_Time"}) {
            auto *box = window.findChild<QComboBox *>(QLatin1String(list));
            QAccessibleInterface *read = QAccessible::queryAccessibleInterface(box);
            QCOMPARE(read->text(QAccessible::Name), box->accessibleName());
            QCOMPARE(read->text(QAccessible::Value), box->currentText());
            QCOMPARE(QAccessible::queryAccessibleInterface(box->lineEdit())->text(QAccessible::Name),
                     box->accessibleName());
            QCOMPARE(read->child(1)->object(), box->lineEdit());
        }
        auto *more = window.navigatorDock()->findChild<QWidget *>("qt_toolbar_ext_button");
        QVERIFY(more);
        QCOMPARE(QAccessible::queryAccessibleInterface(more)->text(QAccessible::Name), QStringLiteral("More tools"));
    }

    // Tab as a keyboard user presses it (a real key on X11) through each page: every control
    // it reaches has a name, and it reaches the page's controls, not only the tabs.
    void tabReachesOnlyNamedControls()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        auto *pages = window.findChild<QTabWidget *>("PageControl1");
        QVERIFY(pages);
        QList<QWidget *> reached;
        connect(qApp, &QApplication::focusChanged, this, [&reached](QWidget *, QWidget *now) {
            if (now)
                reached.append(now);
        });
        constexpr int Presses = 30;
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QVERIFY(RealKeys::focusInto(pages->tabBar()));
            reached.clear();
            QVERIFY(RealKeys::type(QStringList(Presses, QStringLiteral("Tab")).join(u' ')));
            QVERIFY2(QTest::qWaitFor([&] { return reached.size() >= Presses; }, RealKeys::Patience),
                     qPrintable(QString::number(reached.size())));
            int onPage = 0;
            for (QWidget *w : std::as_const(reached)) {
                QVERIFY2(!nameOf(w).isEmpty(), qPrintable(where(w)));
                onPage += pages->widget(page)->isAncestorOf(w);
            }
            QVERIFY2(onPage > 0, qPrintable(pages->tabText(page)));
        }
    }

    void theGraphReadoutsSayWhichChannelTheyShow()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        TGraphChart *graph = window.graphChart();
        QStringList names;
        for (Trace t : {Trace::WheelSpeedFL, Trace::WheelSpeedFR, Trace::WheelSpeedRL, Trace::WheelSpeedRR, Trace::RPM,
                        Trace::CutLevel})
            names.append(graph->readout(t)->accessibleName());
        QCOMPARE(names.removeDuplicates(), 0);
        for (const QString &name : names)
            QVERIFY2(name.contains(QRegularExpression("^(CH[1-4] |RPM|Cut level)")), qPrintable(name));
    }

    void everyControlOfTheOtherDialogsIsNamed()
    {
        ScriptedDialogs dialogs;
        TForm1 window{testOptions()};
        TAboutForm about(&window);
        TExportDialog exportDialog(window.graphChart());
        QCOMPARE(named(&exportDialog, "PictureWidth"), QStringLiteral("Width"));
        for (QWidget *w : std::initializer_list<QWidget *>{&about, &exportDialog}) {
            const QStringList missing = unnamed(w);
            QVERIFY2(missing.isEmpty(), qPrintable(u'\n' + missing.join(u'\n')));
        }
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessible_names.moc"
