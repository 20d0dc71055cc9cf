#include "settings/ui/PageUndo.h"

#include "settings/ui/MainFrame.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

PageUndo::PageUndo(TAFrame *pages, QObject *parent) : QObject(parent), m_pages(pages)
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &PageUndo::flush);
    connect(pages, &TAFrame::pagesChanged, this, &PageUndo::changed);
    // An edit box keeps its own undo for Ctrl+Z; on the pages the keys belong to the pages' undo.
    for (QLineEdit *edit : pages->findChildren<QLineEdit *>())
        edit->installEventFilter(this);
    m_history.reset(pages->ShownValues());
}

bool PageUndo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();  // let the window's shortcut have it
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PageUndo::changed(QObject *control)
{
    if (m_showing)
        return;
    QObject *typing = qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control) ? control : nullptr;
    if (m_pending.isActive() && m_typingIn != typing)
        m_mixed = true;
    m_typingIn = typing;
    m_pending.start();
}

void PageUndo::flush()
{
    m_pending.stop();
    const void *typing = m_mixed ? nullptr : m_typingIn.data();
    m_mixed = false;
    m_typingIn = nullptr;
    if (m_history.record(m_pages->ShownValues(), typing))
        announce();
}

void PageUndo::reset(const SettingsImage &image, bool modified)
{
    m_pending.stop();
    m_mixed = false;
    m_typingIn = nullptr;
    m_history.reset(m_pages->ShownValues());
    markClean(image);
    m_cleanModified = modified;
    announce();
}

void PageUndo::markClean(const SettingsImage &image)
{
    m_clean = image;
    m_cleanModified = false;
    // As the pages encode it, so that a step back compares like with like.
    (void)m_pages->ShownValues().copyTo(m_clean);
}

void PageUndo::markWritten(const SettingsImage &image)
{
    // Already as the pages encoded it when it was taken from them.
    m_clean = image;
    m_cleanModified = false;
}

void PageUndo::recordNow() { flush(); }

bool PageUndo::differsFromClean() const
{
    if (m_cleanModified)
        return true;
    SettingsImage now = m_clean;
    if (m_pages->ShownValues().copyTo(now))
        return true;  // an entry that is not a number is no image at all
    return !(now == m_clean);
}

void PageUndo::undo()
{
    flush();  // a change not yet recorded is the step to undo
    step(m_history.undo());
}

void PageUndo::redo()
{
    flush();
    step(m_history.redo());
}

void PageUndo::step(const PageValues *values)
{
    if (!values)
        return;
    m_showing = true;
    m_pages->ShowValues(*values);
    m_showing = false;
    announce();
    emit stepped(differsFromClean());
}

void PageUndo::announce() { emit availabilityChanged(m_history.canUndo(), m_history.canRedo()); }
