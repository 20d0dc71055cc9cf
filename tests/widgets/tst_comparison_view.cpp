// The comparison box as a user sees it: the rows, the cut patterns as boxes, and its buttons.
#include "widgets/ComparisonDialog.h"
#include "widgets/ComparisonView.h"
#include "widgets/CutPatternBoxes.h"
#include "widgets/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QList<SettingChange> someChanges()
{
    const QLocale stop(QLocale::English, QLocale::UnitedKingdom);
    SettingsImage after;
    after.setWord(18, 1500);
    after.setByte(128, '0');
    after.setByte(129, '1');
    return compareImages(SettingsImage(), after, stop);
}

// Runs 'show', which opens the comparison box; hands the box to 'act' once it is up.
void whileShown(const std::function<void()> &show, const std::function<void(ComparisonDialog *)> &act)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<ComparisonDialog *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = true;
        act(box);
    });
    show();
    QVERIFY2(seen, "no comparison box came up");
}

QAbstractButton *button(ComparisonDialog *box, const QString &name)
{
    for (auto *b : box->findChildren<QAbstractButton *>())
        if (b->accessibleName() == name)
            return b;
    return nullptr;
}

}  // namespace

class TestComparisonView : public QObject {
    Q_OBJECT
private slots:
    void rowsNameEverySettingAndPatternsShowAsBoxes()
    {
        ComparisonView view;
        view.setChanges(someChanges());
        QCOMPARE(view.rowCount(), 2);
        QCOMPARE(view.item(0, ComparisonView::Page)->text(), QStringLiteral("Configuration"));
        QCOMPARE(view.item(0, ComparisonView::Setting)->text(), QStringLiteral("Minimum operating thresholds / Speed"));
        QCOMPARE(view.item(0, ComparisonView::Before)->text(), QStringLiteral("14.00"));
        QCOMPARE(view.item(0, ComparisonView::After)->text(), QStringLiteral("15.00"));
        QCOMPARE(view.item(0, ComparisonView::Unit)->text(), QStringLiteral("Kmh"));
        QVERIFY(!view.cellWidget(0, ComparisonView::Before));

        QCOMPARE(view.item(1, ComparisonView::Setting)->text(), QStringLiteral("Sequence 1"));
        auto *before = qobject_cast<CutPatternBoxes *>(view.cellWidget(1, ComparisonView::Before));
        auto *after = qobject_cast<CutPatternBoxes *>(view.cellWidget(1, ComparisonView::After));
        QVERIFY(before && after);
        QCOMPARE(before->accessibleName(), QStringLiteral("10111011101110111011"));
        QCOMPARE(view.item(1, ComparisonView::After)->data(Qt::AccessibleTextRole).toString(), after->cells());
        QVERIFY(view.item(1, ComparisonView::After)->text().isEmpty());  // nothing drawn under the boxes
        QCOMPARE(after->cells(), QStringLiteral("01111011101110111011"));
        // The boxes fit their column whole.
        QVERIFY(view.columnWidth(ComparisonView::After) >= after->sizeHint().width());
    }

    // Filled is spark, empty is cut; the two cells that changed are drawn in red, the rest in ink.
    void boxesShowSparkCutAndWhatChanged()
    {
        CutPatternBoxes boxes(QStringLiteral("01100000000000000000"), QStringLiteral("10100000000000000000"));
        boxes.resize(boxes.sizeHint());
        const QImage picture = boxes.grab().toImage();
        const auto centre = [&](int k) {
            const int x = CutPatternBoxes::Gap + 1 + k * (CutPatternBoxes::BoxWidth + CutPatternBoxes::Gap) +
                          CutPatternBoxes::BoxWidth / 2;
            return picture.pixelColor(x, picture.height() / 2);
        };
        const QColor ink = boxes.palette().color(QPalette::WindowText);
        const QColor paper = centre(3);
        QVERIFY(centre(2) == ink);                      // spark, unchanged
        QCOMPARE(centre(1), QColor(0xC0, 0x10, 0x10));  // spark, changed
        QCOMPARE(centre(0), paper);                     // cut (changed: only its frame is red)
        QVERIFY(paper != ink);
    }

    void confirmationTellsOkCancelAndDontShowAgain()
    {
        Dialogs::Comparison request;
        request.title = QStringLiteral("Write Settings");
        request.text = QStringLiteral("These settings will change in the unit:");
        request.changes = someChanges();
        request.confirm = true;
        request.offerDontShow = true;
        bool ok = false;
        whileShown([&] { ok = Dialogs::instance().comparison(request); },
                   [](ComparisonDialog *box) {
                       QCOMPARE(box->windowTitle(), QStringLiteral("Write Settings"));
                       QCOMPARE(box->view()->rowCount(), 2);
                       QVERIFY(box->dontShowAgain());
                       QCOMPARE(box->dontShowAgain()->accessibleName(), QStringLiteral("Don't show again"));
                       // Enter on a glance cancels.
                       QVERIFY(qobject_cast<QPushButton *>(button(box, "Cancel"))->isDefault());
                       box->dontShowAgain()->setChecked(true);
                       button(box, "OK")->click();
                   });
        QVERIFY(ok);
        QVERIFY(request.dontShowAgain);

        request.dontShowAgain = false;
        whileShown([&] { ok = Dialogs::instance().comparison(request); },
                   [](ComparisonDialog *box) { button(box, "Cancel")->click(); });
        QVERIFY(!ok);
        QVERIFY(!request.dontShowAgain);
    }

    // Nothing to list: the text says why, the empty table is not shown, Close is the only answer.
    void aBoxWithNothingToListOnlyCloses()
    {
        Dialogs::Comparison request;
        request.text = QStringLiteral("Nothing known.\n\rRead first.");
        bool ok = true;
        whileShown([&] { ok = Dialogs::instance().comparison(request); },
                   [](ComparisonDialog *box) {
                       QVERIFY(!box->view()->isVisible());
                       QVERIFY(!box->dontShowAgain());
                       QCOMPARE(box->findChild<QLabel *>("ComparisonText")->text(),
                                QStringLiteral("Nothing known.\nRead first."));
                       QVERIFY(!button(box, "OK"));
                       button(box, "Close")->click();
                   });
        QVERIFY(!ok);
    }
};

QTEST_MAIN(TestComparisonView)
#include "tst_comparison_view.moc"
