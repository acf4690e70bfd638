#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>
#include <vector>

namespace trellisane {

/// The language a person's environment asks for, as Qt reads it (LANGUAGE before LC_ALL,
/// LC_MESSAGES and LANG). A C or POSIX locale (LC_ALL=C, as tests and help2man run) means the
/// source texts, whatever LANGUAGE says, as GNU gettext has it. Reads the environment only.
QLocale PersonsLocale();

/// The program's catalogue (:/i18n/trellisane_*.qm) and Qt's own (qtbase_*.qm, for the
/// standard dialogs' buttons) for one locale, installed on the running QCoreApplication for as
/// long as this lives. A locale without a catalogue (English among them) installs nothing and
/// leaves every text as its source. Must be made and destroyed on the application's thread,
/// after the QCoreApplication exists. Cost: reading two small files.
class Translations {
  public:
    explicit Translations(const QLocale& locale);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    /// True when the program's own catalogue for the locale was found and installed.
    bool Installed() const { return m_own; }

  private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
    bool m_own = false;
};

}  // namespace trellisane
