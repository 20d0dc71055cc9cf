#include "widgets/ToolbarDock.h"

#include "platform/RegistryRoutinesUnit.h"

#include <QMainWindow>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

namespace {

// The handle a docked bar is dragged by; mouse events go on to the dock widget.
class Grip : public QWidget {
public:
    explicit Grip(QWidget *parent) : QWidget(parent) { setFixedWidth(10); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        option.rect = rect().adjusted(1, 3, -1, -3);
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &p, this);
    }
    void mousePressEvent(QMouseEvent *e) override { QWidget::mousePressEvent(e); }
};

// Nothing: a locked bar shows no handle.
class NoTitle : public QWidget {
public:
    explicit NoTitle(QWidget *parent) : QWidget(parent) {}
    QSize sizeHint() const override { return {0, 0}; }
};

// Only the window's own style: its children keep the desktop's.
class NoSeparatorStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_DockWidgetSeparatorExtent)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_IndicatorDockWidgetResizeHandle)
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

}  // namespace

void hideDockSeparators(QMainWindow *window)
{
    auto *style = new NoSeparatorStyle;
    style->setParent(window);
    window->setStyle(style);
}

ToolbarDock::ToolbarDock(const QString &caption, QWidget *content, bool closable, QWidget *parent)
    : QDockWidget(caption, parent), m_closable(closable), m_grip(nullptr)
{
    setWidget(content);
    setAllowedAreas(Qt::TopDockWidgetArea);
    // The tool bar's own button for the tools that do not fit has no text a screen reader could read.
    QList<QToolBar *> bars = content->findChildren<QToolBar *>();
    if (auto *bar = qobject_cast<QToolBar *>(content))
        bars.append(bar);
    for (QToolBar *bar : bars)
        if (auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
            more->setAccessibleName(QStringLiteral("More tools"));
    connect(this, &QDockWidget::topLevelChanged, this, [this] { updateTitleBar(); });
    setLocked(false);
}

void ToolbarDock::setLocked(bool locked)
{
    m_locked = locked;
    DockWidgetFeatures features = NoDockWidgetFeatures;
    if (!locked) {
        features = DockWidgetMovable | DockWidgetFloatable;
        if (m_closable)
            features |= DockWidgetClosable;
    }
    setFeatures(features);
    updateTitleBar();
}

void ToolbarDock::updateTitleBar()
{
    QWidget *old = titleBarWidget();
    if (isFloating()) {
        // The floating window's own caption bar, with the close button where the bar has one.
        setFeatures(features() & ~DockWidgetVerticalTitleBar);
        setTitleBarWidget(nullptr);
    } else {
        setFeatures(features() | DockWidgetVerticalTitleBar);
        setTitleBarWidget(m_locked ? static_cast<QWidget *>(new NoTitle(this)) : new Grip(this));
    }
    if (old && old != titleBarWidget())
        old->deleteLater();
}

void ToolbarDock::place(bool floating, const QPoint &position)
{
    m_floatingPosition = position;
    setFloating(floating);
    if (floating) {
        adjustSize();
        move(position);
    }
    show();
}

void ToolbarDock::dock()
{
    setFloating(false);
    show();
}

void ToolbarDock::moveEvent(QMoveEvent *event)
{
    QDockWidget::moveEvent(event);
    if (isFloating())
        m_floatingPosition = pos();
}

bool restoreBars(TRegistryRoutines &options, const ToolbarLayoutKeys &keys, ToolbarDock *menuBar,
                 ToolbarDock *navigator)
{
    const auto read = [&options](const RegistryValue &key) { return options.read(key); };
    menuBar->place(read(keys.menuBarFloating) != 0, QPoint(read(keys.menuBarX), read(keys.menuBarY)));
    navigator->place(read(keys.navigatorFloating) != 0, QPoint(read(keys.navigatorX), read(keys.navigatorY)));
    return read(keys.locked) == 0;  // a stray 5 is as free as 1
}

void storeBars(TRegistryRoutines &options, const ToolbarLayoutKeys &keys, const ToolbarDock *menuBar,
               const ToolbarDock *navigator, bool locked)
{
    const auto store = [&options](const RegistryValue &key, int value) { options.write(key, value); };
    store(keys.menuBarFloating, menuBar->isFloating() ? 1 : 0);
    store(keys.menuBarX, menuBar->floatingPosition().x());
    store(keys.menuBarY, menuBar->floatingPosition().y());
    store(keys.navigatorFloating, navigator->isFloating() ? 1 : 0);
    store(keys.navigatorX, navigator->floatingPosition().x());
    store(keys.navigatorY, navigator->floatingPosition().y());
    store(keys.locked, locked ? 0 : 1);
}
