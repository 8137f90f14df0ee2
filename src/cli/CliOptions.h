#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orven {

// The command line of orven-cli, with what it leaves out taken from ORVEN.ini.
struct CliOptions {
    std::string command;
    std::string address;
    int port = 0;
    std::string user;
    std::string password;
    std::filesystem::path dataFolder;
    std::string folder;              // the store's name under the data folder
    std::vector<std::string> boxes;  // "rusuroku/0101", "naisen/0201"
    bool infoOnly = false;
    bool responses = false;
    std::vector<std::string> arguments;  // positional, after the command

    // nullopt with the reason in error when the line cannot be understood.
    static std::optional<CliOptions> parse(int argc, char** argv, std::string& error);
    // Fills what the line left empty from the settings file, when it exists.
    void completeFrom(const std::filesystem::path& settingsFile);

    std::filesystem::path store() const { return dataFolder / folder; }

    static const char* usage();

  private:
    bool take(const std::string& name, const std::string& value, std::string& error);
};

}  // namespace orven
