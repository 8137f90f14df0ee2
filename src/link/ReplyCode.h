#pragma once

#include <iosfwd>

namespace orven {

// What the main unit answered to one command line, as the control connection classifies it.
// Besides the values named here, any other code it answered with is carried as it came
// ("421", "530" ...): make one with replyCodeOf and read it with codeOf.
enum class ReplyCode : int {
    NoReply = -1,       // no reply line within the reply time, or a line without a code
    Success = 0,        // a code of the success set; "220" only from a supported main unit
    OtherServer = 220,  // a greeting that does not name a supported main unit
    Unavailable = 550,  // the directory or file is not there, or the action is refused
};

constexpr ReplyCode replyCodeOf(int code) {
    return ReplyCode{code};
}
constexpr int codeOf(ReplyCode reply) {
    return static_cast<int>(reply);
}

std::ostream& operator<<(std::ostream& out, ReplyCode reply);

}  // namespace orven
