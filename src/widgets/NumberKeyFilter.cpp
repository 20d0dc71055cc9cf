#include "widgets/NumberKeyFilter.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

NumberKeyFilter::NumberKeyFilter(QObject *parent, Rule rule) : QObject(parent), m_rule(std::move(rule)) {}

void NumberKeyFilter::watch(QLineEdit *edit) { edit->installEventFilter(this); }

void NumberKeyFilter::watch(QComboBox *list)
{
    list->installEventFilter(this);
    if (list->lineEdit())
        watch(list->lineEdit());
}

QChar NumberKeyFilter::typedCharacter(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Backspace)
        return QChar(u'\b');
    const QString text = key->text();
    if (text.isEmpty())
        return {};
    // Control with Alt is AltGr on Windows, which types characters; Control alone is a shortcut.
    const Qt::KeyboardModifiers mods = key->modifiers();
    if ((mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier))
        return {};
    // Tab, Enter, Escape and Delete come with a control character as their text: they are keys.
    const QChar first = text.front();
    if (first.category() == QChar::Other_Control)
        return {};
    // A key that types several characters at once is refused as a whole.
    return text.size() == 1 ? first : QChar(QChar::ReplacementCharacter);
}

bool NumberKeyFilter::accepts(QChar typed, const QString &text)
{
    if (typed == u'\b' || (typed >= u'0' && typed <= u'9'))
        return true;
    const QString separator = QLocale().decimalPoint();
    return separator.size() == 1 && typed == separator.front() && !text.contains(separator);
}

bool NumberKeyFilter::refuses(QLineEdit *edit, const QKeyEvent *key) const
{
    QChar typed = typedCharacter(key);
    if (typed.isNull())
        return false;
    if (m_rule)
        m_rule(edit, typed);
    else if (!accepts(typed, edit->text()))
        typed = QChar();
    if (typed.isNull() || typed == QChar(QChar::ReplacementCharacter))
        return true;
    const int limit = edit->property(LimitProperty).toInt();
    return typed != u'\b' && limit > 0 && edit->text().size() - edit->selectedText().size() >= limit;
}

bool NumberKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        QLineEdit *edit = qobject_cast<QLineEdit *>(watched);
        if (auto *list = qobject_cast<QComboBox *>(watched))
            edit = list->lineEdit();
        if (edit)
            return refuses(edit, static_cast<QKeyEvent *>(event));
    }
    return QObject::eventFilter(watched, event);
}
