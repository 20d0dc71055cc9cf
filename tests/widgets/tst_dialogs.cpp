// The Qt message boxes behind the dialogs seam, as they show the program's texts.

#include "widgets/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
