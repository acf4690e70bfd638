#include "engine/error_report.h"

#include <utility>

#include "shell/product.h"
#include "shell/texts.h"

namespace trellisane {

QString ErrorReportText(const QString& description, const QString& location, int line) {
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           Trellisane::tr("Please email screenshot of this message to ") +
           QString::fromUtf8(kSupportEmail);
}

void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line) {
    dialogs.ShowMessage(ErrorReportText(description, location, line),
                        Trellisane::tr(kErrorReportTitle), DialogIcon::Exclamation,
                        DialogButtons::Ok);
}

QString DescribeException(const std::exception_ptr& error) {
    if (!error) return Trellisane::tr("Unknown error");
    try {
        std::rethrow_exception(error);
    } catch (const TrappedError& trapped) {
        return trapped.description();
    } catch (const std::exception& exception) {
        return QString::fromUtf8(exception.what());
    } catch (...) {
        return Trellisane::tr("Unknown error");
    }
}

ErrorTrap::ErrorTrap(Dialogs& dialogs, QString location)
    : m_report([&dialogs, location = std::move(location)](const QString& description, int line) {
          ShowErrorReport(dialogs, description, location, line);
      }) {}

ErrorTrap::ErrorTrap(ReportFn report) : m_report(std::move(report)) {}

bool ErrorTrap::Step(int line, const std::function<void()>& statement) {
    m_line = line;
    try {
        statement();
        return true;
    } catch (...) {
        if (!m_report) throw;
        Fail(DescribeException(std::current_exception()));
        return false;
    }
}

bool ErrorTrap::Check(int line, const std::function<std::optional<QString>()>& statement) {
    std::optional<QString> failure;
    if (!Step(line, [&] { failure = statement(); })) return false;
    if (failure) Fail(*failure);
    return !failure;
}

void ErrorTrap::Fail(const QString& description) {
    if (!m_report) throw TrappedError(description);
    m_report(description, m_line);
}

}  // namespace trellisane
