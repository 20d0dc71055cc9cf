#include "widgets/AccessibleNames.h"

#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace AccessibleNames {

void fromLabels(QWidget *root)
{
    for (QLabel *label : root->findChildren<QLabel *>()) {
        QWidget *buddy = label->buddy();
        if (!buddy || !buddy->accessibleName().isEmpty())
            continue;
        QString text = label->text().remove(u'&').trimmed();
        if (text.endsWith(u':'))
            text.chop(1);
        buddy->setAccessibleName(text);
    }
    for (QComboBox *list : root->findChildren<QComboBox *>()) {
        QLineEdit *edit = list->lineEdit();
        if (edit && edit->accessibleName().isEmpty() && !list->accessibleName().isEmpty())
            edit->setAccessibleName(list->accessibleName());
    }
}

namespace {

// A list as the desktop's own are read: its name, then its value; its popup and, when it is
// editable, its edit field as children, as Qt's own interface has them.
class NamedList final : public QAccessibleWidget {
public:
    explicit NamedList(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        const QComboBox *box = list();
        if (t == QAccessible::Name && !box->accessibleName().isEmpty())
            return box->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value)
            return box->isEditable() && box->lineEdit() ? box->lineEdit()->text() : box->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return list()->lineEdit() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->lineEdit())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
    }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(object()); }
};

QAccessibleInterface *namedListFactory(const QString &className, QObject *object)
{
    Q_UNUSED(className);
    if (auto *list = qobject_cast<QComboBox *>(object); list && object->isWidgetType())
        return new NamedList(list);
    return nullptr;
}

}  // namespace

void installListNames()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(namedListFactory);
}

}  // namespace AccessibleNames
