#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <optional>

#include "shell/dialogs.h"

namespace trellisane {

/// The title of every application error report.
inline constexpr char kErrorReportTitle[] = QT_TRANSLATE_NOOP("Trellisane", "Application Error");

/// The report's exact text: description, CR LF, `location` (which ends in a blank),
/// "at line ", the line number, CR CR, "Please email screenshot of this message to " and the
/// support address.
QString ErrorReportText(const QString& description, const QString& location, int line);

/// Shows the report: exclamation icon, OK only, titled "Application Error". Returns after OK.
void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line);

/// The description a caught exception gives to the report.
QString DescribeException(const std::exception_ptr& error);

/// Shows one failure of a trapped procedure: its description and the line reached.
using ReportFn = std::function<void(const QString& description, int line)>;

/// The error trap of one procedure, the only one there is. Statements run through Step() or
/// Check() with their line number (100, 102, ..., named in the procedure's table of steps); a
/// statement that throws, that gives a failure back as a value, or after which Fail() is
/// called, is reported with the last line reached, and the procedure goes on with its next
/// statement.
class ErrorTrap {
  public:
    /// Reports as the application error report through `dialogs`; `location` is the
    /// procedure's location text, ending in a blank.
    ErrorTrap(Dialogs& dialogs, QString location);

    /// Reports through `report`; when that is empty a failure is not reported here but thrown
    /// on to the caller (a thrown one as it was, one given as a value as TrappedError).
    explicit ErrorTrap(ReportFn report);

    /// Marks `line` as reached and runs `statement`; a thrown exception is reported and
    /// swallowed. Returns true when the statement completed.
    bool Step(int line, const std::function<void()>& statement);

    /// Marks `line` as reached and runs `statement`, which gives its failure back as a value
    /// (a description; nothing for success); that is reported as it is, never thrown, and so is
    /// an exception the statement throws. Returns true when the statement succeeded.
    bool Check(int line, const std::function<std::optional<QString>()>& statement);

    /// Marks `line` as reached without running anything.
    void Reach(int line) { m_line = line; }

    /// Reports a failure with `description` at the last line reached.
    void Fail(const QString& description);

    int line() const { return m_line; }

  private:
    ReportFn m_report;
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
