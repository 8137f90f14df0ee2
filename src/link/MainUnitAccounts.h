#pragma once

#include <string_view>

namespace orven {

// The two account names a main unit accepts at log-in. The log-in dialog offers exactly these
// and the main unit stand-in accepts exactly these, so they are kept in this one place.
inline constexpr std::string_view kMaintenanceAccount = "maint";
inline constexpr std::string_view kOfficeAccount = "office";

inline constexpr bool isMainUnitAccount(std::string_view name) {
    return name == kMaintenanceAccount || name == kOfficeAccount;
}

}  // namespace orven
