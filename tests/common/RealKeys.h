#pragma once

// Keys typed into the program's windows. On the xcb platform (a test run on an X server of its own,
// see run-on-xvfb) they are real X11 key events typed by xdotool; elsewhere they are Qt Test's key
// events made as X11 delivers them, Tab, Delete, Esc and Control+letter carrying their control
// characters as text, Shift+digit the US keyboard's symbol.

#include <QApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace RealKeys {

constexpr int Patience = 15000;  // ms; a loaded machine may take long to deliver X events

inline bool realKeys() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

struct Key {
    Qt::Key key;
    QString text;
    Qt::KeyboardModifiers mods;
};

// An xdotool key name as the key event X11 delivers for it.
inline Key x11Key(const QString &name)
{
    // "ctrl+x", "shift+x": a modifier and one character
    const QString last = name.right(1);
    const bool single = name.size() >= 3 && name.at(name.size() - 2) == u'+';
    if (single && name.startsWith(QLatin1String("ctrl+")) && last.front().isLower())
        return {Qt::Key(Qt::Key_A + (last.front().unicode() - 'a')), QString(QChar(last.front().unicode() - 'a' + 1)),
                Qt::ControlModifier};
    if (single && name.startsWith(QLatin1String("shift+")) && last.front().isDigit()) {
        const QChar symbol = QLatin1String(")!@#$%^&*(").at(last.front().digitValue());
        return {Qt::Key(symbol.unicode()), QString(symbol), Qt::ShiftModifier};
    }
    if (single && name.startsWith(QLatin1String("shift+")) && last.front().isLower())
        return {Qt::Key(Qt::Key_A + (last.front().unicode() - 'a')), last.toUpper(), Qt::ShiftModifier};
    if (name.size() == 1 && name.front().isDigit())
        return {Qt::Key(Qt::Key_0 + name.front().digitValue()), name, {}};
    if (name.size() == 1 && name.front().isLower())
        return {Qt::Key(Qt::Key_A + (name.front().unicode() - 'a')), name, {}};
    static const QHash<QString, Key> named{
        {"minus", {Qt::Key_Minus, "-", {}}},
        {"space", {Qt::Key_Space, " ", {}}},
        {"period", {Qt::Key_Period, ".", {}}},
        {"comma", {Qt::Key_Comma, ",", {}}},
        {"Tab", {Qt::Key_Tab, "\t", {}}},
        {"shift+Tab", {Qt::Key_Backtab, "\t", Qt::ShiftModifier}},
        {"Delete", {Qt::Key_Delete, "\x7f", {}}},
        {"BackSpace", {Qt::Key_Backspace, "\b", {}}},
        {"Return", {Qt::Key_Return, "\r", {}}},
        {"Escape", {Qt::Key_Escape, "\x1b", {}}},
        {"Home", {Qt::Key_Home, "", {}}},
        {"End", {Qt::Key_End, "", {}}},
        {"Left", {Qt::Key_Left, "", {}}},
        {"Right", {Qt::Key_Right, "", {}}},
        {"Up", {Qt::Key_Up, "", {}}},
        {"Down", {Qt::Key_Down, "", {}}},
        {"F1", {Qt::Key_F1, "", {}}},
    };
    if (!named.contains(name))
        qFatal("no key named %s", qPrintable(name));
    return named.value(name);
}

// Types the keys (xdotool names, space-separated) into the window that has the keyboard focus.
inline bool type(const QString &keys)
{
    const QStringList names = keys.split(u' ', Qt::SkipEmptyParts);
    if (realKeys()) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), QStringList{"key", "--delay", "20"} + names);
        if (!xdotool.waitForFinished(60000) || xdotool.exitCode() != 0) {
            qWarning() << "xdotool failed:" << xdotool.errorString() << xdotool.readAllStandardError();
            return false;
        }
        return true;
    }
    for (const QString &name : names) {
        QWidget *target = QApplication::focusWidget();
        if (!target)
            return false;
        const Key k = x11Key(name);
        QTest::sendKeyEvent(QTest::Press, target, k.key, k.text, k.mods);
        QTest::sendKeyEvent(QTest::Release, target, k.key, k.text, k.mods);
    }
    return true;
}

// Shows the window with the keyboard focus in 'box', as a click into the box would leave it.
inline bool focusInto(QWidget *box)
{
    QWidget *window = box->window();
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window, Patience))
        return false;
    box->setFocus(Qt::MouseFocusReason);
    return QTest::qWaitFor([box] { return box->hasFocus(); }, Patience);
}

}  // namespace RealKeys
