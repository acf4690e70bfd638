// Trellisane: starts the main window. The program takes no arguments of its own and ignores any.

#include <QApplication>
#include <cstdio>

#include "app/form1.h"
#include "app/qt_dialogs.h"
#include "app/startup.h"
#include "folders/protected_location.h"
#include "i18n/translations.h"

int main(int argc, char* argv[]) {
    using namespace trellisane;

    // Qt aborts when its platform cannot start; say why in plain words instead.
    const std::optional<QString> noDisplay =
        MissingDisplayReason([](const char* name) { return qEnvironmentVariable(name); });
    if (noDisplay) {
        std::fprintf(stderr, "trellisane: %s\n", qPrintable(*noDisplay));
        return 1;
    }

    // Only the program's name reaches Qt, so no argument is taken as an option of Qt's either.
    static char fallbackName[] = "trellisane";
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int qtArgc = 1;
    QApplication app(qtArgc, qtArgv);
    const Translations translations(PersonsLocale());
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quorvane.Trellisane"));
    QApplication::setWindowIcon(ApplicationIcon());

    QtDialogs dialogs;
    // The folder the program file really lies in, so that a start through bin/trellisane or
    // the menu finds the samples, skin and pointer of the installed copy.
    QString programFolder = RunningProgramFolder();
    if (programFolder.isEmpty()) programFolder = QCoreApplication::applicationDirPath();
    Form1 window(dialogs, programFolder, MakeTimeOfDayDraw());
    dialogs.SetOwner(&window);
    window.show();
    return QApplication::exec();
}
