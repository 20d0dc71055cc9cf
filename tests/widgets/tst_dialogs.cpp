// The Qt message boxes behind the dialogs seam, as they show the program's texts.

#include "widgets/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs 'show', which opens a message box; reads the box's text and presses its button 'answer'.
QString shownBy(const std::function<void()> &show, QMessageBox::StandardButton answer)
{
    QString text = QStringLiteral("(no message box)");
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        if (QAbstractButton *button = box->button(answer))
            button->click();
        else
            box->close();
    });
    show();
    return text;
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    // "\n\r" is one line break on screen; nothing else of the text changes, leading spaces included.
    void messageBoxesBreakLinesOnceAtEachPair()
    {
        const QString closeQuestion = "Changed data has not been saved\n\r           or sent to unit.\n\r\n\r"
                                      " Do you still want to close\n\r         this program ?";
        const QString lines = "Changed data has not been saved\n           or sent to unit.\n\n"
                              " Do you still want to close\n         this program ?";
        bool yes = true;
        QCOMPARE(shownBy([&] { yes = Dialogs::instance().question(closeQuestion); }, QMessageBox::No), lines);
        QVERIFY(!yes);
        QCOMPARE(shownBy([&] { Dialogs::instance().error("Activates data logging\n\rNote: off"); }, QMessageBox::Ok),
                 QString("Activates data logging\nNote: off"));
        QCOMPARE(shownBy([&] { Dialogs::instance().message("one\r\ntwo\rthree"); }, QMessageBox::Ok),
                 QString("one\ntwo\nthree"));
        bool ok = false;
        QCOMPARE(shownBy([&] { ok = Dialogs::instance().warningOkCancel("'12a' is not a valid"); }, QMessageBox::Ok),
                 QString("'12a' is not a valid"));
        QVERIFY(ok);
    }

    // A question that may discard or start something: Enter and Esc answer No; "Don't ask again"
    // counts only with a Yes.
    void aQuestionWithNoAsDefault()
    {
        for (const bool tick : {false, true}) {
            for (const int key : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
                Dialogs::Question request{QStringLiteral("The engine will misfire for 0.5 s. Start the test?"), false,
                                          true};
                bool offered = false;
                QTimer::singleShot(0, [&] {
                    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                    if (!box)
                        return;
                    offered = box->defaultButton() == box->button(QMessageBox::No) && box->checkBox() &&
                              box->checkBox()->text() == QStringLiteral("Don't ask again");
                    if (box->checkBox())
                        box->checkBox()->setChecked(tick);
                    if (key)
                        QTest::keyClick(box, Qt::Key(key));
                    else
                        box->button(QMessageBox::Yes)->click();
                });
                const bool yes = Dialogs::instance().ask(request);
                QVERIFY(offered);
                QCOMPARE(yes, key == 0);
                QCOMPARE(request.dontAskAgain, key == 0 && tick);
            }
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
