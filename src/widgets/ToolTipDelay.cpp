#include "widgets/ToolTipDelay.h"

#include <QApplication>
#include <QProxyStyle>

namespace {

// The desktop's style with another wake-up delay: Qt reads the delay from the style alone.
class ToolTipDelayStyle : public QProxyStyle {
public:
    ToolTipDelayStyle(const QString &base, int delay) : QProxyStyle(base), m_delay(delay) {}
    int delay() const { return m_delay; }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return m_delay;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    int m_delay;
};

}  // namespace

void setToolTipDelay(int ms)
{
    QStyle *current = QApplication::style();
    if (auto *own = dynamic_cast<ToolTipDelayStyle *>(current)) {
        if (own->delay() == ms)
            return;
        current = own->baseStyle();
    }
    QApplication::setStyle(new ToolTipDelayStyle(current->name(), ms));
}
