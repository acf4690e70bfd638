#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "app/launch_arguments.h"
#include "app/startup.h"

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QWidget;

namespace trellisane {

/// What a second start hands to the window already open: its folders and the tokens that let
/// the window manager bring that window to the front for it.
struct HandOver {
    LaunchRequest request;
    QByteArray startupId;        // DESKTOP_STARTUP_ID of the second start (X11), may be empty
    QByteArray activationToken;  // XDG_ACTIVATION_TOKEN of the second start (Wayland), may be empty
};

/// The hand-over as sent over the socket: a fixed header (magic, payload length) and the payload.
QByteArray EncodeHandOver(const HandOver& handOver);
/// Reads one hand-over from the start of `bytes`. Nothing while `bytes` is incomplete;
/// `malformed` is set (and nothing returned) for bytes that are no hand-over or one over
/// kMaxHandOverBytes. `used` gets the bytes it took. O(size).
std::optional<HandOver> DecodeHandOver(const QByteArray& bytes, qsizetype& used, bool& malformed);
/// The largest hand-over payload accepted (some thousands of paths).
inline constexpr qsizetype kMaxHandOverBytes = qsizetype{4} * 1024 * 1024;

/// Names the display a window shows on, for use in a file name: "x11-HOST_N" from DISPLAY
/// (the screen number dropped, ":0" and ":0.0" being one display), "wayland-NAME" from
/// WAYLAND_DISPLAY; empty for a platform without a display (offscreen), whose starts are
/// each alone. An empty DISPLAY is "default".
QString DisplayKey(const QString& platformName, const EnvFn& env);

/// The socket and lock file path without their endings: $XDG_RUNTIME_DIR/trellisane/window-KEY.
/// Empty when `displayKey` is, or XDG_RUNTIME_DIR is unset, relative or no folder: the program
/// then starts alone (never falling back to a shared folder such as /tmp).
QString InstanceBasePath(const EnvFn& env, const QString& displayKey);

/// One window per user and display.
///
/// Made with a QLocalServer in the user's runtime folder and a lock file beside it, not with
/// org.freedesktop.Application over D-Bus: one session bus spans every display a user has open
/// (and tests under Xvfb share it), while a well-known bus name cannot carry the display; a
/// socket per display can. It also needs no session bus, which a plain X session or a
/// container may lack, and no D-Bus service file that would start the program in a
/// different environment than the launcher's. The lock file says who owns the socket, so a
/// socket left behind by a program that died is removed rather than blocking every start.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    enum class Outcome {
        Primary,     ///< this process owns the socket and receives hand-overs
        HandedOver,  ///< a window already open took the hand-over; this process should leave
        Alone,       ///< neither could be arranged: this process runs a window of its own
    };

    /// `basePath` as InstanceBasePath gives it; empty: Start answers Alone.
    explicit SingleInstance(QString basePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Hands `handOver` to the window already open on this display, or else becomes the owner.
    /// Waits at most `timeoutMs` in all (a start racing another start's socket). Blocking.
    Outcome Start(const HandOver& handOver, int timeoutMs);

  Q_SIGNALS:
    /// A second start handed this over; emitted on the thread the object lives in.
    void handedOver(const trellisane::HandOver& handOver);

  private:
    /// Sends to the open window; true once it has confirmed.
    bool Send(const QByteArray& message, int timeoutMs) const;
    void Accept();
    void Read(QLocalSocket* socket);

    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;  // a child
};

/// Shows `window`, un-minimised, and asks the window manager to bring it to the front on behalf
/// of the start that handed over: on X11 with that start's startup id (the window's
/// _NET_STARTUP_ID, the launch's "remove" message and its time as the activation's), on Wayland
/// with its activation token. Without a token it asks as the program itself.
void BringToFront(QWidget& window, const HandOver& handOver);

}  // namespace trellisane
