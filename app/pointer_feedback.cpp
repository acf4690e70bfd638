#include "app/pointer_feedback.h"

#include <QEvent>
#include <QWidget>

namespace trellisane {

PointerFeedback::PointerFeedback(QWidget& window) : QObject(&window), m_window(window) {}

void PointerFeedback::Track(QWidget& widget, int value) {
    widget.setMouseTracking(true);
    if (&widget != &m_window) widget.setAttribute(Qt::WA_NoMousePropagation);
    widget.installEventFilter(this);
    m_rules.insert(&widget, value);
}

void PointerFeedback::Set(int value) {
    const bool changed = value != m_pointer;
    m_pointer = value;
    if (!changed) return;  // the shape is already showing
    switch (value) {
        case kPointerBusy:
            m_window.setCursor(Qt::WaitCursor);
            break;
        case kPointerHand:
            m_window.setCursor(m_handCursor ? *m_handCursor : QCursor(Qt::PointingHandCursor));
            break;
        default:
            m_window.unsetCursor();
            break;
    }
}

void PointerFeedback::Rule(int value) {
    if (m_pointer == kPointerBusy) return;
    Set(value);
}

bool PointerFeedback::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto rule = m_rules.constFind(watched);
        if (rule != m_rules.cend()) Rule(rule.value());
    }
    return QObject::eventFilter(watched, event);  // the widget still gets its move
}

}  // namespace trellisane
