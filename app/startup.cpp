#include "app/startup.h"

#include <QTime>
#include <QUrl>
#include <memory>
#include <random>

#include "shell/dialogs.h"
#include "shell/product.h"
#include "shell/texts.h"

namespace trellisane {

QString SetApplicationTitle(const QString& productName) {
    constexpr qsizetype kLongestTitle = 40;
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(u' ');
        if (blank < 0) break;
        title.truncate(blank);
    } while (title.size() > kLongestTitle);
    return title;
}

int DrawFromFraction(double fraction) {
    const int drawn = static_cast<int>(fraction * 100.0) + 1;
    // A fraction that rounds up to 1.0 in a caller's arithmetic must not give 101.
    return drawn > 100 ? 100 : (drawn < 1 ? 1 : drawn);
}

DrawFn MakeTimeOfDayDraw() {
    const int secondsSinceMidnight = QTime(0, 0).secsTo(QTime::currentTime());
    auto engine = std::make_shared<std::mt19937>(static_cast<unsigned>(secondsSinceMidnight));
    return [engine] {
        std::uniform_real_distribution<double> fraction(0.0, 1.0);
        return DrawFromFraction(fraction(*engine));
    };
}

std::optional<QString> MaybeOpenHomePage(const DrawFn& draw, Dialogs& dialogs) {
    constexpr int kLuckyNumber = 7;
    if (draw() != kLuckyNumber) return std::nullopt;
    const QUrl homePage(QString::fromLatin1(kHomePageUrl));
    if (dialogs.OpenUrl(homePage)) return std::nullopt;
    return Trellisane::tr("The web browser could not be started to open %1.")
        .arg(homePage.toString());
}

std::optional<QString> MissingDisplayReason(const EnvFn& env) {
    const QString platform = env("QT_QPA_PLATFORM");
    const bool hasX11 = !env("DISPLAY").isEmpty();
    const bool hasWayland = !env("WAYLAND_DISPLAY").isEmpty();
    // Only the first of a list of platforms ("wayland;xcb") decides whether Qt fails outright.
    const QString first = platform.section(u';', 0, 0).section(u':', 0, 0).trimmed();
    if (first.isEmpty()) {
        if (hasX11 || hasWayland) return std::nullopt;
        return QStringLiteral(
            "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set). Run it from a "
            "desktop session, or under Xvfb: xvfb-run -a trellisane");
    }
    if (first == u"xcb" && !hasX11) {
        return QStringLiteral("QT_QPA_PLATFORM is xcb but DISPLAY is not set.");
    }
    if (first.startsWith(u"wayland") && !hasWayland) {
        if (platform.contains(u"xcb") && hasX11) return std::nullopt;
        return QStringLiteral("QT_QPA_PLATFORM is %1 but WAYLAND_DISPLAY is not set.").arg(first);
    }
    return std::nullopt;
}

}  // namespace trellisane
