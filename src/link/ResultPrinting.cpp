// The names of the link's results, for test failures and diagnostics. A value that carries a
// main unit's reply code prints as that code.
#include <initializer_list>
#include <ostream>
#include <utility>

#include "link/FolderDownloadResult.h"
#include "link/JobResult.h"
#include "link/ListingResult.h"
#include "link/LoginResult.h"
#include "link/ReplyCode.h"
#include "link/TransferResult.h"

namespace orven {
namespace {

// The value's name from the table; a value without one prints as "<family> <number>", or as
// "reply <number>" for a family that passes the main unit's reply codes through.
template <typename Result>
std::ostream& named(std::ostream& out, Result result,
                    std::initializer_list<std::pair<Result, const char*>> names,
                    const char* family) {
    for (const auto& [value, name] : names) {
        if (value == result) {
            return out << name;
        }
    }
    return out << family << ' ' << static_cast<int>(result);
}

constexpr const char* kReply = "reply";

}  // namespace

std::ostream& operator<<(std::ostream& out, LoginResult result) {
    using R = LoginResult;
    return named(out, result,
                 {{R::BadInput, "BadInput"},
                  {R::LoggedIn, "LoggedIn"},
                  {R::NoConnection, "NoConnection"},
                  {R::Refused, "Refused"},
                  {R::UnsupportedMainUnit, "UnsupportedMainUnit"}},
                 "LoginResult");
}

std::ostream& operator<<(std::ostream& out, ReplyCode reply) {
    using R = ReplyCode;
    return named(out, reply,
                 {{R::NoReply, "NoReply"},
                  {R::Success, "Success"},
                  {R::OtherServer, "OtherServer (220)"},
                  {R::Unavailable, "Unavailable (550)"}},
                 kReply);
}

std::ostream& operator<<(std::ostream& out, TransferResult result) {
    using R = TransferResult;
    return named(out, result,
                 {{R::Cancelled, "Cancelled"},
                  {R::Failed, "Failed"},
                  {R::Done, "Done"},
                  {R::Refused, "Refused (450)"},
                  {R::Unavailable, "Unavailable (550)"}},
                 kReply);
}

std::ostream& operator<<(std::ostream& out, ListingResult result) {
    using R = ListingResult;
    return named(out, result,
                 {{R::NoSuchDirectory, "NoSuchDirectory"},
                  {R::Failed, "Failed"},
                  {R::CommandFailed, "CommandFailed"},
                  {R::Listed, "Listed"}},
                 kReply);
}

std::ostream& operator<<(std::ostream& out, FileSizeResult result) {
    using R = FileSizeResult;
    return named(out, result,
                 {{R::NoSuchDirectory, "NoSuchDirectory"},
                  {R::Failed, "Failed"},
                  {R::NotListed, "NotListed"},
                  {R::Found, "Found"}},
                 "FileSizeResult");
}

std::ostream& operator<<(std::ostream& out, JobResult result) {
    using R = JobResult;
    return named(out, result,
                 {{R::LocalFailure, "LocalFailure"},
                  {R::Stopped, "Stopped"},
                  {R::DiskFull, "DiskFull"},
                  {R::Cancelled, "Cancelled"},
                  {R::NoSuchBox, "NoSuchBox"},
                  {R::CommunicationFailure, "CommunicationFailure"},
                  {R::Done, "Done"},
                  {R::FilesGone, "FilesGone (550)"},
                  {R::DeleteUnsupported, "DeleteUnsupported (555)"}},
                 "JobResult");
}

std::ostream& operator<<(std::ostream& out, FolderDownloadResult result) {
    using R = FolderDownloadResult;
    return named(
        out, result,
        {{R::Unreachable, "Unreachable"}, {R::Done, "Done"}, {R::ListFailed, "ListFailed"}},
        "FolderDownloadResult");
}

}  // namespace orven
