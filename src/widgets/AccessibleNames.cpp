#include "widgets/AccessibleNames.h"

#include <QLabel>

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
}

} // namespace AccessibleNames
