#include "cli/CliOptions.h"

#include <charconv>
#include <set>

#include "app/CORVENDoc.h"
#include "app/Settings.h"
#include "platform/ProfileFile.h"

namespace orven {

namespace {

const std::set<std::string> kCommands{"folder-download", "download", "upload", "list", "check-aac"};

bool isSwitch(const std::string& arg) {
    return arg == "--info-only" || arg == "--responses";
}

}  // namespace

const char* CliOptions::usage() {
    return "usage: orven-cli COMMAND [options]\n"
           "commands: folder-download | download [--box KIND/BOX]... [--info-only] "
           "[--responses]\n"
           "          | upload | list (--box KIND/BOX | FOLDER) | check-aac FILE\n"
           "options:  --address A --port N --user U --password P --data-folder DIR "
           "--folder NAME\n";
}

std::optional<CliOptions> CliOptions::parse(int argc, char** argv, std::string& error) {
    CliOptions options;
    if (argc < 2 || kCommands.count(argv[1]) == 0) {
        error = argc < 2 ? "no command" : std::string("unknown command ") + argv[1];
        return std::nullopt;
    }
    options.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (isSwitch(arg)) {
            (arg == "--info-only" ? options.infoOnly : options.responses) = true;
        } else if (arg.rfind("--", 0) == 0) {
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
    } else if (name == "--data-folder") {
        dataFolder = value;
    } else if (name == "--folder") {
        folder = value;
    } else if (name == "--box") {
        boxes.push_back(value);
    } else {
        error = "unknown option " + name;
        return false;
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
