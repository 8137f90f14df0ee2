// orven-cli: the downloads and the store's list without the window, for scripts and checks.
#include <csignal>
#include <cstdio>

#include "cli/CliCommands.h"
#include "platform/UserFolders.h"

namespace {

std::atomic<int> g_cancel{0};

extern "C" void onInterrupt(int) {
    g_cancel.store(1);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto options = orven::CliOptions::parse(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "orven-cli: %s\n%s", error.c_str(), orven::CliOptions::usage());
        return orven::CliCommands::kUsage;
    }
    const std::filesystem::path settings = orven::UserFolders().settingsPath();
    options->completeFrom(settings);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigaction(SIGINT, &action, nullptr);
    orven::CliCommands commands(std::move(*options), g_cancel, settings);
    return commands.run();
}
