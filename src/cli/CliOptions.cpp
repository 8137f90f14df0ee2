#include "cli/CliOptions.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>

#include "app/CORVENDoc.h"
#include "app/Settings.h"
#include "cli/CliExit.h"
#include "platform/ProfileFile.h"
#include "store/StoreNames.h"

namespace orven {

namespace {

struct CommandText {
    std::string_view name;
    std::string_view synopsis;  // after "orven-cli NAME"
    std::string_view what;
    bool connection;  // talks to the main unit
    bool store;
};

constexpr CommandText kCommands[] = {
    {"folder-download", " [connection] [store]",
     "Makes the store's box folders from the main unit's box list.", true, true},
    {"download", " [connection] [store] [--box KIND/BOX]... [--info-only] [--responses]",
     "Downloads the messages of every box of the store, or of the --box ones (KIND is\n"
     "rusuroku or naisen). --info-only leaves the voice data on the main unit; --responses\n"
     "takes the system response messages only.",
     true, true},
    {"upload", " [connection] [store]",
     "Sends the system response messages of the store's outou folder to the main unit.", true,
     true},
    {"list", " [store] (--box KIND/BOX | FOLDER)",
     "Prints a box's message list, tab-separated, with the list's columns.", false, true},
    {"check-aac", " FILE", "Prints the playing time of a voice file in seconds.", false, false},
};

constexpr std::string_view kConnection =
    "connection:\n"
    "  --address A --port N --user U\n"
    "  --password-file FILE  the password is the file's first line\n"
    "  --password P          seen by every user of the machine (ps): prefer the file\n"
    "  with neither, the password is $ORVEN_PASSWORD, else the one in ORVEN.ini\n"
    "dialogue log (every FTP command and reply line, the password shown as ****):\n"
    "  --log FILE            appended to FILE (made with mode 0600; at 1 MiB it becomes\n"
    "                        FILE.1, replacing the older one)\n"
    "  -v                    written to standard error\n";
constexpr std::string_view kStore =
    "store:\n"
    "  --data-folder DIR --folder NAME\n";
constexpr std::string_view kCommon =
    "What the line leaves out comes from ORVEN.ini. Progress and messages go to standard\n"
    "error. SIGINT, SIGTERM and SIGHUP cancel the job; it cleans up before it ends.\n";

const CommandText* commandText(std::string_view name) {
    for (const CommandText& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

std::string exitStatuses() {
    std::string text = "exit status:\n";
    for (const CliExitMeaning& exit : kCliExitMeanings) {
        text += "  " + std::to_string(static_cast<int>(exit.status)) + "  ";
        text += std::string(exit.meaning) + '\n';
    }
    return text;
}

// The options without a value; false for any other argument.
bool takeSwitch(CliOptions& options, const std::string& arg) {
    bool* const flag = arg == "--info-only"   ? &options.infoOnly
                       : arg == "--responses" ? &options.responses
                       : arg == "-v"          ? &options.verbose
                                              : nullptr;
    if (flag != nullptr) {
        *flag = true;
    }
    return flag != nullptr;
}

// --help, -h and --version end the reading of the line: nothing else is done.
bool takeInfoSwitch(CliOptions& options, const std::string& arg) {
    options.help = arg == "--help" || arg == "-h";
    options.version = arg == "--version";
    return options.help || options.version;
}

// Why the file gives no password; empty when line holds its first line without the line end.
std::string whyNoPassword(const std::filesystem::path& file, std::string& line) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::strerror(errno);
    }
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        return "it is a folder";
    }
    if (!std::getline(in, line) && in.bad()) {
        return "read error";
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.pop_back();
    }
    return line.empty() ? "its first line is empty" : "";
}

}  // namespace

std::string CliOptions::usage(const std::string& command) {
    if (const CommandText* text = commandText(command)) {
        return "usage: orven-cli " + command + std::string(text->synopsis) + "\n" +
               "       orven-cli " + command + " --help\n";
    }
    return "usage: orven-cli COMMAND [options]\n"
           "       orven-cli [COMMAND] --help\n"
           "       orven-cli --version\n"
           "commands: folder-download, download, upload, list, check-aac\n";
}

std::string CliOptions::helpText(const std::string& command) {
    std::string text = usage(command) + '\n';
    const CommandText* one = commandText(command);
    if (one != nullptr) {
        text += std::string(one->what) + "\n\n";
    } else {
        for (const CommandText& each : kCommands) {
            text += "  orven-cli " + std::string(each.name) + std::string(each.synopsis) + '\n';
        }
        text += '\n';
    }
    text += one == nullptr || one->connection ? std::string(kConnection) : std::string();
    if (one == nullptr || one->store) {
        text += std::string(kStore) + std::string(kCommon);
    }
    return text + '\n' + exitStatuses();
}

bool CliOptions::isBoxPath(const std::string& box) {
    const auto slash = box.find('/');
    if (slash == std::string::npos) {
        return false;
    }
    const std::string_view kind = std::string_view(box).substr(0, slash);
    const std::string_view name = std::string_view(box).substr(slash + 1);
    return (kind == StoreNames::kAnswering || kind == StoreNames::kExtension) && !name.empty() &&
           name.find('/') == std::string_view::npos && name != "." && name != "..";
}

std::optional<CliOptions> CliOptions::parse(int argc, char** argv, std::string& error) {
    CliOptions options;
    if (argc >= 2 && takeInfoSwitch(options, argv[1])) {
        return options;
    }
    if (argc < 2 || commandText(argv[1]) == nullptr) {
        error = argc < 2 ? "no command" : std::string("unknown command ") + argv[1];
        return std::nullopt;
    }
    options.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (takeInfoSwitch(options, arg)) {
            return options;
        }
        if (takeSwitch(options, arg)) {
            continue;
        }
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            if (!options.take(arg, argv[++i], error)) {
                return std::nullopt;
            }
        } else {
            options.arguments.push_back(arg);
        }
    }
    return options;
}

bool CliOptions::take(const std::string& name, const std::string& value, std::string& error) {
    if (name == "--address") {
        address = value;
    } else if (name == "--port") {
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
        if (ec != std::errc() || end != value.data() + value.size() || port <= 0 || port > 65535) {
            error = "bad port " + value;
            return false;
        }
    } else if (name == "--user") {
        user = value;
    } else if (name == "--password") {
        password = value;
    } else if (name == "--password-file") {
        passwordFile = value;
    } else if (name == "--data-folder") {
        dataFolder = value;
    } else if (name == "--log") {
        logFile = value;
    } else if (name == "--folder") {
        folder = value;
    } else if (name == "--box") {
        if (!isBoxPath(value)) {
            error =
                "--box takes rusuroku/BOX or naisen/BOX, BOX a folder name, not \"" + value + "\"";
            return false;
        }
        boxes.push_back(value);
    } else {
        error = "unknown option " + name;
        return false;
    }
    return true;
}

bool CliOptions::takePassword(const Getenv& getenv, std::string& error) {
    // An unusable file is refused even when --password makes it unneeded: the line is wrong.
    std::string fromFile;
    if (!passwordFile.empty()) {
        const std::string why = whyNoPassword(passwordFile, fromFile);
        if (!why.empty()) {
            error = "cannot take the password from " + passwordFile.string() + ": " + why;
            return false;
        }
    }
    const char* fromEnvironment = getenv("ORVEN_PASSWORD");
    if (password.empty()) {
        password = !fromFile.empty()            ? fromFile
                   : fromEnvironment != nullptr ? std::string(fromEnvironment)
                                                : std::string();
    }
    return true;
}

void CliOptions::completeFrom(const std::filesystem::path& settingsFile) {
    std::error_code ec;
    if (!std::filesystem::exists(settingsFile, ec)) {
        return;
    }
    const ProfileFile file(settingsFile);
    CORVENDoc doc;
    Settings::LoadSettings(doc, file);
    auto fill = [](auto& target, const std::string& value) {
        if (target.empty()) {
            target = value;
        }
    };
    fill(address, doc.savedAddress.str());
    fill(user, doc.savedUser.str());
    fill(password, doc.savedPassword.str());
    if (dataFolder.empty()) {
        dataFolder = doc.dataFolder.str();
    }
    fill(folder, doc.currentFolderName.str());
    if (port == 0) {
        port = file.getInt("LOGIN", "PORT", 0);
    }
}

}  // namespace orven
