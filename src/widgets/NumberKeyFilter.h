#pragma once

#include <QObject>

#include <functional>

class QComboBox;
class QKeyEvent;
class QLineEdit;

// The key filter of the program's numeric edit boxes. Only typed characters are judged: digits,
// Backspace and one decimal separator go in, any other character is refused. Keys that move or
// edit (Tab, Shift+Tab, Delete, arrows, Home, End, Enter, Escape, Control shortcuts) are no
// typed characters and pass untouched, although X11 gives Tab, Delete and Control+letter a text.
class NumberKeyFilter : public QObject {
    Q_OBJECT
public:
    // Judges one typed character; setting it to null refuses it. The default rule is accepts().
    using Rule = std::function<void(QLineEdit *edit, QChar &typed)>;

    // A box may carry a limit on typed characters in this property (0 or none: no limit). Unlike
    // QLineEdit::maxLength it leaves longer text that the program sets whole.
    static constexpr char LimitProperty[] = "editLimit";

    explicit NumberKeyFilter(QObject *parent, Rule rule = {});

    // Filters what is typed into 'edit' from now on.
    void watch(QLineEdit *edit);
    // An editable list holds the keyboard focus itself and hands keys to its edit box directly,
    // past any filter of that box: it is watched as well as its box.
    void watch(QComboBox *list);

    // Whether the key press must not reach 'edit'.
    bool refuses(QLineEdit *edit, const QKeyEvent *key) const;

    // The character a key press types into a box, or null for a key that only moves or edits.
    static QChar typedCharacter(const QKeyEvent *key);
    // Backspace, a digit, or the locale's decimal separator while 'text' holds none.
    static bool accepts(QChar typed, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Rule m_rule;
};
