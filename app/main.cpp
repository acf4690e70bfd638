// Trellisane: starts the main window, or hands the command line's folders to the window that is
// already open on this display.

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "app/form1.h"
#include "app/launch_arguments.h"
#include "app/qt_dialogs.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "folders/protected_location.h"
#include "i18n/translations.h"

namespace {

/// How long a start waits for the window already open to take its folders before it opens a
/// window of its own.
constexpr int kHandOverTimeoutMs = 5000;

}  // namespace

int main(int argc, char* argv[]) {
    using namespace trellisane;

    // --help and --version need no display; relative paths are made absolute here, against the
    // folder this start was made in, before they can reach another process.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const LaunchArguments launch = ParseLaunchArguments(arguments, QDir::currentPath());
    if (launch.exitStatus) {
        std::fputs(qPrintable(launch.out), stdout);
        std::fputs(qPrintable(launch.err), stderr);
        return *launch.exitStatus;
    }

    // Qt aborts when its platform cannot start; say why in plain words instead.
    const auto env = [](const char* name) { return qEnvironmentVariable(name); };
    const std::optional<QString> noDisplay = MissingDisplayReason(env);
    if (noDisplay) {
        std::fprintf(stderr, "trellisane: %s\n", qPrintable(*noDisplay));
        return 1;
    }

    // Read before Qt takes (and clears) them: they let the window that is already open come
    // to the front for this start.
    HandOver handOver{launch.request, qgetenv("DESKTOP_STARTUP_ID"),
                      qgetenv("XDG_ACTIVATION_TOKEN")};

    // Only the program's name reaches Qt, so no argument is taken as an option of Qt's either.
    static char fallbackName[] = "trellisane";
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int qtArgc = 1;
    QApplication app(qtArgc, qtArgv);
    const Translations translations(PersonsLocale());
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quorvane.Trellisane"));
    QApplication::setWindowIcon(ApplicationIcon());

    SingleInstance instance(
        InstanceBasePath(env, DisplayKey(QGuiApplication::platformName(), env)));
    if (instance.Start(handOver, kHandOverTimeoutMs) == SingleInstance::Outcome::HandedOver) {
        return 0;
    }

    QtDialogs dialogs;
    // The folder the program file really lies in, so that a start through bin/trellisane or
    // the menu finds the samples, skin and pointer of the installed copy.
    QString programFolder = RunningProgramFolder();
    if (programFolder.isEmpty()) programFolder = QCoreApplication::applicationDirPath();
    Form1 window(dialogs, programFolder, MakeTimeOfDayDraw());
    dialogs.SetOwner(&window);
    window.show();
    // Start-up ends with the command line's folders, one add of one batch each, one preview.
    if (!launch.request.folders.isEmpty()) {
        window.AddFromOutside(
            {launch.request.folders, {}, std::optional<bool>(launch.request.subfolders)});
    }
    QObject::connect(
        &instance, &SingleInstance::handedOver, &window, [&window](const HandOver& received) {
            BringToFront(window, received);
            if (received.request.folders.isEmpty()) return;
            window.AddFromOutside({received.request.folders, {}, received.request.subfolders});
        });
    return QApplication::exec();
}
