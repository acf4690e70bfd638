#pragma once

#include <QCursor>
#include <QHash>
#include <QObject>
#include <QString>
#include <optional>

class QWidget;

namespace trellisane {

/// The window-wide pointer values.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerBusy = 11;
inline constexpr int kPointerHand = 99;

/// The pointer rules of one window, as a single event filter: each tracked widget has a rule,
/// the value the window-wide pointer takes when the mouse moves over it, unless the pointer is
/// busy. The shape follows the value: the wait cursor for busy, the hand (the window's own hand
/// cursor when one was loaded, else the standard pointing hand) for hand, the widget's
/// inherited cursor otherwise. Lives on the user-interface thread; cheap per event.
class PointerFeedback : public QObject {
    Q_OBJECT

  public:
    /// The rules of `window`, whose cursor shows the shape. `window` must outlive this object.
    explicit PointerFeedback(QWidget& window);

    /// Tracks `widget` with movement rule `value`: its mouse moves (tracked even with no button
    /// held) set the pointer, and stop there, so a control's rule is not undone by its
    /// container's on the way up. The window itself may be tracked too.
    void Track(QWidget& widget, int value);

    /// The window-wide pointer value: 0, 11 or 99.
    int Pointer() const { return m_pointer; }

    /// Sets the pointer value and its shape, busy or not.
    void Set(int value);

    /// The movement rule: leaves a busy pointer alone, else sets `value`.
    void Rule(int value);

    /// The shape shown for the hand value; nothing for the standard pointing hand.
    void SetHandCursor(std::optional<QCursor> cursor) { m_handCursor = std::move(cursor); }
    /// Reads the hand's shape from the pointer file at `path` (LoadCursorFile) and shows it for
    /// the hand value from now on. Nothing on success, else why it could not be read (the
    /// standard pointing hand stays).
    std::optional<QString> LoadHandCursor(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& m_window;
    int m_pointer = kPointerDefault;
    std::optional<QCursor> m_handCursor;
    QHash<QObject*, int> m_rules;  // tracked widget -> its movement rule's value
};

struct Form1Controls;

/// Gives `window` (laid out as `controls`) its pointer rules: the default pointer over the
/// window, the list (its rows and its header) and the two frames, the hand over the five
/// buttons. Returns the PointerFeedback, a child of `window`.
PointerFeedback* TrackPointerRules(QWidget& window, const Form1Controls& controls);

}  // namespace trellisane
