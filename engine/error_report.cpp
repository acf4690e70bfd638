#include "engine/error_report.h"

#include <utility>

#include "shell/product.h"

namespace trellisane {

QString ErrorReportText(const QString& description, const QString& location, int line) {
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QString::fromUtf8(kSupportEmail);
}

void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line) {
    dialogs.ShowMessage(ErrorReportText(description, location, line),
                        QString::fromUtf8(kErrorReportTitle), DialogIcon::Exclamation,
                        DialogButtons::Ok);
}

QString DescribeException(const std::exception_ptr& error) {
    if (!error) return QStringLiteral("Unknown error");
    try {
        std::rethrow_exception(error);
    } catch (const TrappedError& trapped) {
        return trapped.description();
    } catch (const std::exception& exception) {
        return QString::fromUtf8(exception.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

ErrorTrap::ErrorTrap(Dialogs& dialogs, QString location)
    : m_dialogs(dialogs), m_location(std::move(location)) {}

bool ErrorTrap::Step(int line, const std::function<void()>& statement) {
    m_line = line;
    try {
        statement();
        return true;
    } catch (...) {
        Fail(DescribeException(std::current_exception()));
        return false;
    }
}

void ErrorTrap::Fail(const QString& description) {
    ShowErrorReport(m_dialogs, description, m_location, m_line);
}

}  // namespace trellisane
