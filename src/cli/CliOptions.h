#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orven {

// The command line of orven-cli, with what it leaves out taken from ORVEN.ini.
struct CliOptions {
    // Looks a variable up like ::getenv: null when it is not set.
    using Getenv = std::function<const char*(const char*)>;

    std::string command;  // empty with --help or --version before any command
    bool help = false;    // --help / -h: usage of the program or of the command
    bool version = false;
    std::string address;
    int port = 0;
    std::string user;
    std::string password;
    std::filesystem::path passwordFile;
    std::filesystem::path dataFolder;
    std::string folder;              // the store's name under the data folder
    std::vector<std::string> boxes;  // "rusuroku/0101", "naisen/0201"
    bool infoOnly = false;
    bool responses = false;
    std::filesystem::path logFile;       // --log: the dialogue with the main unit, in this file
    bool verbose = false;                // -v: the dialogue on standard error
    std::vector<std::string> arguments;  // positional, after the command

    // nullopt with the reason in error when the line cannot be understood.
    static std::optional<CliOptions> parse(int argc, char** argv, std::string& error);
    // When the line gave no --password: the first line of --password-file, else
    // $ORVEN_PASSWORD. False with the reason in error when the file cannot be read.
    bool takePassword(const Getenv& getenv, std::string& error);
    // Fills what the line left empty from the settings file, when it exists.
    void completeFrom(const std::filesystem::path& settingsFile);

    std::filesystem::path store() const { return dataFolder / folder; }

    // The short synopsis printed with a mistake in the line: of the program when command is
    // empty, else of that command.
    static std::string usage(const std::string& command = {});
    // What --help prints: the synopsis, the options and the exit statuses.
    static std::string helpText(const std::string& command = {});
    // True for exactly "rusuroku/BOX" or "naisen/BOX", BOX one plain path element.
    static bool isBoxPath(const std::string& box);

  private:
    bool take(const std::string& name, const std::string& value, std::string& error);
};

}  // namespace orven
