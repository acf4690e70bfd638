#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace trellisane {

class Dialogs;

/// A draw of a whole number from 1 to 100.
using DrawFn = std::function<int()>;

/// The application title derived from `productName`: cut before the last blank (the blank and
/// what follows go) and again while the result is longer than 40 characters. The cut is made
/// at least once when there is a blank, so a name of several words loses its last word; a name
/// without a blank (or what is left when the blanks run out) is kept whole. O(n).
QString SetApplicationTitle(const QString& productName);

/// The draw for a fraction in [0, 1): its integer part times 100, plus 1, so 1 to 100.
int DrawFromFraction(double fraction);

/// A draw seeded once from the time of day (seconds since local midnight), as at every start.
DrawFn MakeTimeOfDayDraw();

/// Draws once; on 7 hands the maker's home page to the desktop's browser. Returns the failure's
/// description when the browser could not be started, else nothing; any other draw does
/// nothing. Does not wait for the browser.
std::optional<QString> MaybeOpenHomePage(const DrawFn& draw, Dialogs& dialogs);

/// Reads an environment variable; empty when unset.
using EnvFn = std::function<QString(const char* name)>;

/// Why the window cannot be shown, from QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY, or
/// nothing when a display (or a platform that needs none) is there. Checked before the
/// application object is made, since Qt aborts when its platform cannot start.
std::optional<QString> MissingDisplayReason(const EnvFn& env);

}  // namespace trellisane
