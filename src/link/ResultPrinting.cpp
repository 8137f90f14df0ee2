// The names of the link's results, for test failures and diagnostics. A value that carries a
// main unit's reply code prints as that code.
#include <ostream>

#include "link/FolderDownloadResult.h"
#include "link/JobResult.h"
#include "link/ListingResult.h"
#include "link/LoginResult.h"
#include "link/ReplyCode.h"
#include "link/TransferResult.h"

namespace orven {
namespace {

std::ostream& replyCode(std::ostream& out, int code) {
    return out << "reply " << code;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, LoginResult result) {
    switch (result) {
        case LoginResult::BadInput:
            return out << "BadInput";
        case LoginResult::LoggedIn:
            return out << "LoggedIn";
        case LoginResult::NoConnection:
            return out << "NoConnection";
        case LoginResult::Refused:
            return out << "Refused";
        case LoginResult::UnsupportedMainUnit:
            return out << "UnsupportedMainUnit";
    }
    return out << "LoginResult " << static_cast<int>(result);
}

std::ostream& operator<<(std::ostream& out, ReplyCode reply) {
    switch (reply) {
        case ReplyCode::NoReply:
            return out << "NoReply";
        case ReplyCode::Success:
            return out << "Success";
        case ReplyCode::OtherServer:
            return out << "OtherServer (220)";
        case ReplyCode::Unavailable:
            return out << "Unavailable (550)";
    }
    return replyCode(out, codeOf(reply));
}

std::ostream& operator<<(std::ostream& out, TransferResult result) {
    switch (result) {
        case TransferResult::Cancelled:
            return out << "Cancelled";
        case TransferResult::Failed:
            return out << "Failed";
        case TransferResult::Done:
            return out << "Done";
        case TransferResult::Refused:
            return out << "Refused (450)";
        case TransferResult::Unavailable:
            return out << "Unavailable (550)";
    }
    return replyCode(out, codeOf(result));
}

std::ostream& operator<<(std::ostream& out, ListingResult result) {
    switch (result) {
        case ListingResult::NoSuchDirectory:
            return out << "NoSuchDirectory";
        case ListingResult::Failed:
            return out << "Failed";
        case ListingResult::CommandFailed:
            return out << "CommandFailed";
        case ListingResult::Listed:
            return out << "Listed";
    }
    return replyCode(out, codeOf(result));
}

std::ostream& operator<<(std::ostream& out, FileSizeResult result) {
    switch (result) {
        case FileSizeResult::NoSuchDirectory:
            return out << "NoSuchDirectory";
        case FileSizeResult::Failed:
            return out << "Failed";
        case FileSizeResult::NotListed:
            return out << "NotListed";
        case FileSizeResult::Found:
            return out << "Found";
    }
    return out << "FileSizeResult " << static_cast<int>(result);
}

std::ostream& operator<<(std::ostream& out, JobResult result) {
    switch (result) {
        case JobResult::LocalFailure:
            return out << "LocalFailure";
        case JobResult::Stopped:
            return out << "Stopped";
        case JobResult::DiskFull:
            return out << "DiskFull";
        case JobResult::Cancelled:
            return out << "Cancelled";
        case JobResult::NoSuchBox:
            return out << "NoSuchBox";
        case JobResult::CommunicationFailure:
            return out << "CommunicationFailure";
        case JobResult::Done:
            return out << "Done";
        case JobResult::FilesGone:
            return out << "FilesGone (550)";
        case JobResult::DeleteUnsupported:
            return out << "DeleteUnsupported (555)";
    }
    return out << "JobResult " << static_cast<int>(result);
}

std::ostream& operator<<(std::ostream& out, FolderDownloadResult result) {
    switch (result) {
        case FolderDownloadResult::Unreachable:
            return out << "Unreachable";
        case FolderDownloadResult::Done:
            return out << "Done";
        case FolderDownloadResult::ListFailed:
            return out << "ListFailed";
    }
    return out << "FolderDownloadResult " << static_cast<int>(result);
}

}  // namespace orven
