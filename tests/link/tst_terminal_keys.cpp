// Keys typed into the terminal's memo and the bytes that reach the far end of the cable: by xdotool
// on an X server of its own, or as X11 delivers keys (RealKeys.h).
#include "PtyPair.h"
#include "RealKeys.h"
#include "link/SerialDevice.h"
#include "link/ui/TerminalFrame.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace RealKeys;

#define TYPE(keys) QVERIFY2(type(keys), keys)

class TestTerminalKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qInfo() << "platform" << QGuiApplication::platformName() << (realKeys() ? "(keys typed by xdotool)" : "");
    }

    void eachKeySendsItsByteOrNothing()
    {
        PtyPair pty;
        SerialDevice port;
        QVERIFY(port.open(pty.slavePath));
        QWidget window;
        auto *column = new QVBoxLayout(&window);
        auto *frame = new TBFrame;
        auto *next = new QLineEdit;
        column->addWidget(frame);
        column->addWidget(next);
        frame->setSendChar([&port](quint8 byte) { return port.SendChar(byte); });
        QPlainTextEdit *memo = frame->RecievedData();
        QVERIFY(focusInto(memo));

        // A letter sends its capital, Shift the small one; Shift moves a digit to 0x50..0x59; keys
        // below '0' other than Esc and space, Enter among them, send nothing; others their code.
        TYPE("shift+e e Escape Return space 1 shift+1 shift+2 shift+3 shift+4 shift+5 shift+6 shift+7 shift+8 "
             "shift+9 shift+0 BackSpace Delete Up Down Left Right Home End F1 comma");
        QByteArray received;
        const QByteArray expected = QByteArray("eE\x1b 1QRSTUVWXYP") + "\x70\xbc";
        QTRY_COMPARE_WITH_TIMEOUT((received += pty.readAll()).toHex(' '), expected.toHex(' '), Patience);
        QVERIFY(memo->toPlainText().startsWith(QStringLiteral("Ee\n 1!@#")));  // the memo took them too

        // Tab leaves the memo like any field and sends nothing.
        TYPE("Tab");
        QTRY_VERIFY_WITH_TIMEOUT(next->hasFocus(), Patience);
        TYPE("x");
        QTRY_COMPARE_WITH_TIMEOUT(next->text(), QStringLiteral("x"), Patience);
        QCOMPARE(pty.readAll(), QByteArray());
    }
};

QTEST_MAIN(TestTerminalKeys)
#include "tst_terminal_keys.moc"
