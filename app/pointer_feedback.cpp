#include "app/pointer_feedback.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "app/cursor_file.h"
#include "app/form1_layout.h"
#include "shell/texts.h"

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

std::optional<QString> PointerFeedback::LoadHandCursor(const QString& path) {
    std::optional<QCursor> hand = LoadCursorFile(path);
    if (!hand) return Trellisane::tr("The pointer image %1 could not be read.").arg(path);
    m_handCursor = std::move(hand);
    return std::nullopt;
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

PointerFeedback* TrackPointerRules(QWidget& window, const Form1Controls& c) {
    auto* pointers = new PointerFeedback(window);
    // Where the mouse moves decides the window-wide pointer.
    const std::pair<QWidget*, int> rules[] = {
        {&window, kPointerDefault},
        {c.ListView1, kPointerDefault},
        {c.ListView1->viewport(), kPointerDefault},
        {c.ListView1->horizontalHeader(), kPointerDefault},
        {c.ListView1->horizontalHeader()->viewport(), kPointerDefault},
        {c.Frame1, kPointerDefault},
        {c.Frame2, kPointerDefault},
        {c.PushButton1, kPointerHand},
        {c.PushButton2, kPointerHand},
        {c.PushButton3, kPointerHand},
        {c.PushButton4, kPointerHand},
        {c.PushButton6, kPointerHand},
    };
    for (const auto& [widget, value] : rules) pointers->Track(*widget, value);
    return pointers;
}

}  // namespace trellisane
