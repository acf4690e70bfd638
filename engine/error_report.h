#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "shell/dialogs.h"

namespace trellisane {

/// The title of every application error report.
inline constexpr char kErrorReportTitle[] = "Application Error";

/// The report's exact text: description, CR LF, `location` (which ends in a blank),
/// "at line ", the line number, CR CR, "Please email screenshot of this message to " and the
/// support address.
QString ErrorReportText(const QString& description, const QString& location, int line);

/// Shows the report: exclamation icon, OK only, titled "Application Error". Returns after OK.
void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line);

/// The description a caught exception gives to the report.
QString DescribeException(const std::exception_ptr& error);

/// The error trap of one procedure. Statements run through Step() with their line number
/// (100, 102, ...); a statement that throws, or that calls Fail(), is reported with the last
/// line reached, and the procedure goes on with its next statement.
class ErrorTrap {
  public:
    /// `location` is the procedure's location text, ending in a blank.
    ErrorTrap(Dialogs& dialogs, QString location);

    /// Marks `line` as reached and runs `statement`; a thrown exception is reported and
    /// swallowed. Returns true when the statement completed.
    bool Step(int line, const std::function<void()>& statement);

    /// Marks `line` as reached without running anything.
    void Reach(int line) { m_line = line; }

    /// Reports a failure with `description` at the last line reached.
    void Fail(const QString& description);

    int line() const { return m_line; }
    const QString& location() const { return m_location; }

  private:
    Dialogs& m_dialogs;
    QString m_location;
    int m_line = 0;
};

/// An error with a description for the report, thrown by statements run under a trap.
class TrappedError : public std::exception {
  public:
    explicit TrappedError(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toUtf8()) {}
    const char* what() const noexcept override { return m_utf8.constData(); }
    const QString& description() const { return m_description; }

  private:
    QString m_description;
    QByteArray m_utf8;
};

}  // namespace trellisane
