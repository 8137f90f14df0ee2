#pragma once

#include <iosfwd>

namespace orven {

// What a log-in to the main unit came to; the window chooses the words for each.
enum class LoginResult {
    BadInput = -1,  // the user name or password holds a line break: nothing was sent
    LoggedIn = 0,
    NoConnection = 1,         // no connection, or no greeting within the reply time
    Refused = 2,              // USER or PASS was not accepted
    UnsupportedMainUnit = 3,  // the greeting names another server
};

std::ostream& operator<<(std::ostream& out, LoginResult result);

}  // namespace orven
