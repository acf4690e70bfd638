// One window per user and display: a second start hands its folders to the window that is open.

#include "app/single_instance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>
#include <QWidget>
#include <QtEndian>
#include <algorithm>
#include <utility>

#ifdef TRELLISANE_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace trellisane {

namespace {

constexpr quint32 kMagic = 0x54524c48;  // "TRLH"
constexpr qsizetype kHeaderBytes = 8;   // magic, payload length
constexpr char kAcknowledge = '\x06';

/// A part of a file name made of letters, digits, '.', '-' and '_' only.
QString FileNamePart(QString text) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    text.replace(unsafe, QStringLiteral("_"));
    return text.isEmpty() ? QStringLiteral("default") : text;
}

#ifdef TRELLISANE_HAVE_XCB
xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

/// The launch's time from a startup id ("..._TIME12345"), 0 when it holds none.
uint32_t StartupTime(const QByteArray& startupId) {
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0) return 0;
    bool ok = false;
    const qulonglong time = startupId.mid(at + 5).toULongLong(&ok);
    return ok && time <= 0xffffffffULL ? static_cast<uint32_t>(time) : 0;
}

/// Ends the launch's startup notification ("remove: ID=..."), in 20-byte client messages.
void SendStartupRemove(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                       const QByteArray& startupId) {
    QByteArray quoted = startupId;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    QByteArray message = "remove: ID=\"" + quoted + "\"";
    message.append('\0');
    const xcb_atom_t begin = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < message.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = at == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + at,
                    static_cast<size_t>(std::min<qsizetype>(20, message.size() - at)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}

/// Marks the window as started by `startupId` and asks for it to be activated at the launch's
/// time, which is what focus-stealing prevention (KWin's, Mutter's) compares. False when the
/// platform is not X11.
bool ActivateOnX11(QWidget& window, const QByteArray& startupId) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return false;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (screens.rem == 0) return false;
    const xcb_window_t root = screens.data->root;

    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, Atom(connection, "_NET_STARTUP_ID"),
                        Atom(connection, "UTF8_STRING"), 8, static_cast<uint32_t>(startupId.size()),
                        startupId.constData());
    SendStartupRemove(connection, root, id, startupId);
    const uint32_t time = StartupTime(startupId);
    if (time != 0) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                            Atom(connection, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &time);
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = Atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1;  // on the application's own behalf
    event.data.data32[1] = time;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    return true;
}
#endif

}  // namespace

QByteArray EncodeHandOver(const HandOver& handOver) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << handOver.request.subfolders << handOver.request.folders << handOver.startupId
            << handOver.activationToken;
    }
    QByteArray message(kHeaderBytes, '\0');
    qToBigEndian<quint32>(kMagic, message.data());
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), message.data() + 4);
    return message + payload;
}

std::optional<HandOver> DecodeHandOver(const QByteArray& bytes, qsizetype& used, bool& malformed) {
    used = 0;
    malformed = false;
    if (bytes.size() < 4) return std::nullopt;
    if (qFromBigEndian<quint32>(bytes.constData()) != kMagic) {
        malformed = true;
        return std::nullopt;
    }
    if (bytes.size() < kHeaderBytes) return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(bytes.constData() + 4);
    if (length > static_cast<quint32>(kMaxHandOverBytes)) {
        malformed = true;
        return std::nullopt;
    }
    if (bytes.size() < kHeaderBytes + static_cast<qsizetype>(length)) return std::nullopt;
    HandOver handOver;
    QDataStream in(bytes.mid(kHeaderBytes, length));
    in.setVersion(QDataStream::Qt_6_0);
    in >> handOver.request.subfolders >> handOver.request.folders >> handOver.startupId >>
        handOver.activationToken;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        malformed = true;
        return std::nullopt;
    }
    used = kHeaderBytes + length;
    return handOver;
}

QString DisplayKey(const QString& platformName, const EnvFn& env) {
    if (platformName == QLatin1String("wayland")) {
        const QString name = env("WAYLAND_DISPLAY");
        return QStringLiteral("wayland-") + FileNamePart(name.isEmpty()
                                                             ? QStringLiteral("wayland-0")
                                                             : QFileInfo(name).fileName());
    }
    if (platformName == QLatin1String("xcb")) {
        QString display = env("DISPLAY");
        // "host:N.S": the screen S belongs to the same display and the same window manager.
        const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
        const qsizetype dot = display.indexOf(QLatin1Char('.'), colon + 1);
        if (colon >= 0 && dot > colon) display.truncate(dot);
        return QStringLiteral("x11-") + FileNamePart(display);
    }
    return {};  // offscreen, vnc...: no display two starts could share
}

QString InstanceBasePath(const EnvFn& env, const QString& displayKey) {
    const QString runtime = env("XDG_RUNTIME_DIR");
    if (displayKey.isEmpty() || runtime.isEmpty() || QDir::isRelativePath(runtime) ||
        !QFileInfo(runtime).isDir()) {
        return {};
    }
    const QString folder = runtime + QStringLiteral("/trellisane");
    if (!QDir().mkpath(folder)) return {};
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder + QStringLiteral("/window-") + displayKey;
}

SingleInstance::SingleInstance(QString basePath, QObject* parent)
    : QObject(parent), m_base(std::move(basePath)) {}

SingleInstance::~SingleInstance() {
    if (m_server != nullptr) m_server->close();  // removes the socket before the lock goes
}

bool SingleInstance::Send(const QByteArray& message, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_base + QStringLiteral(".socket"));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QDeadlineTimer deadline(timeoutMs);
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(
                                         std::max<qint64>(1, deadline.remainingTime())))) {
            return false;
        }
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kAcknowledge;
}

SingleInstance::Outcome SingleInstance::Start(const HandOver& handOver, int timeoutMs) {
    if (m_base.isEmpty()) return Outcome::Alone;
    const QByteArray message = EncodeHandOver(handOver);
    m_lock = std::make_unique<QLockFile>(m_base + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(
        0);  // held for as long as the window is open: only a dead owner's goes
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (m_lock->tryLock(0)) {
            // The socket's owner held the lock, so a socket still there is a dead program's.
            const QString socketPath = m_base + QStringLiteral(".socket");
            QLocalServer::removeServer(socketPath);
            m_server = new QLocalServer(this);
            m_server->setSocketOptions(QLocalServer::UserAccessOption);
            if (!m_server->listen(socketPath)) {
                delete m_server;
                m_server = nullptr;
                m_lock->unlock();
                return Outcome::Alone;
            }
            connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::Accept);
            return Outcome::Primary;
        }
        const auto left = static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
        if (Send(message, std::min(left, 2000))) return Outcome::HandedOver;
        if (deadline.hasExpired()) return Outcome::Alone;
        QThread::msleep(50);  // another start holds the lock and has not listened yet
    }
}

void SingleInstance::Accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        Read(socket);
    }
}

void SingleInstance::Read(QLocalSocket* socket) {
    QByteArray buffered = socket->property("trellisane.received").toByteArray();
    buffered += socket->readAll();
    qsizetype used = 0;
    bool malformed = false;
    const std::optional<HandOver> handOver = DecodeHandOver(buffered, used, malformed);
    if (malformed) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (!handOver) {
        socket->setProperty("trellisane.received", buffered);
        return;
    }
    socket->setProperty("trellisane.received", QByteArray());
    socket->write(&kAcknowledge, 1);
    socket->flush();
    socket->disconnectFromServer();
    Q_EMIT handedOver(*handOver);
}

void BringToFront(QWidget& window, const HandOver& handOver) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // Qt's Wayland windows take the token from here when they ask to be activated (and then
        // drop it). Some launchers set only the startup id, which then is the token.
        const QByteArray token =
            handOver.activationToken.isEmpty() ? handOver.startupId : handOver.activationToken;
        if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token);
    }
#ifdef TRELLISANE_HAVE_XCB
    if (!handOver.startupId.isEmpty() && ActivateOnX11(window, handOver.startupId)) return;
#endif
    window.activateWindow();
}

}  // namespace trellisane
