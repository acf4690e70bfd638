#pragma once

#include <QString>
#include <system_error>

namespace trellisane {

/// The platform's description of an errno value, such as "Permission denied", as the C library
/// words it in the person's locale. Pure; one look-up.
inline QString DescribeError(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
}

}  // namespace trellisane
