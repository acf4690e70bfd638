#include "i18n/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace trellisane {

QLocale PersonsLocale() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C) return QLocale::c();
    return QLocale();
}

Translations::Translations(const QLocale& locale) {
    if (locale.language() == QLocale::C) return;
    const auto install = [this, &locale](const QString& name, const QString& folder) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(locale, name, QStringLiteral("_"), folder)) return false;
        if (!QCoreApplication::installTranslator(translator.get())) return false;
        m_installed.push_back(std::move(translator));
        return true;
    };
    m_own = install(QStringLiteral("trellisane"), QStringLiteral(":/i18n"));
    // Qt's own texts (the standard buttons) only where the program speaks the language too, so
    // a window is never half in one language and half in another.
    if (m_own) {
        install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
}

Translations::~Translations() {
    for (const auto& translator : m_installed) QCoreApplication::removeTranslator(translator.get());
}

}  // namespace trellisane
