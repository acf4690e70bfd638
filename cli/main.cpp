#include <QCoreApplication>
#include <cstdio>

#include "cli/cli.h"
#include "i18n/translations.h"

int main(int argc, char** argv) {
    // Only the program's name reaches Qt; the application exists for the translations alone.
    static char fallbackName[] = "trellisane-cli";
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int qtArgc = 1;
    const QCoreApplication app(qtArgc, qtArgv);
    const trellisane::Translations translations(trellisane::PersonsLocale());
    return trellisane::RunCli(argc, argv, stdout, stderr);
}
