// orven-cli: the downloads and the store's list without the window, for scripts and checks.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "cli/CliCommands.h"
#include "platform/UserFolders.h"

namespace {

using orven::CliExit;

std::atomic<int> g_cancel{0};
std::atomic<int> g_signal{0};  // the last ending signal; the jobs never reset it

extern "C" void onEndingSignal(int signal) {
    g_signal.store(signal);
    g_cancel.store(1);
}

// SIGINT, SIGTERM and SIGHUP all cancel the job, which then cleans up and ends. No
// SA_RESTART: a blocked transfer wakes up and sees the flag. A signal the caller ignores
// (nohup, a background job) stays ignored.
void catchEndingSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

// Standard output that cannot be written (a full disk, a closed pipe) is a failure too.
int printed(const std::string& text) {
    const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return static_cast<int>(written ? CliExit::kSuccess : CliExit::kLocalFailure);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto options = orven::CliOptions::parse(argc, argv, error);
    if (options && options->help) {
        return printed(orven::CliOptions::helpText(options->command));
    }
    if (options && options->version) {
        return printed(std::string("orven-cli ") + ORVEN_VERSION + "\n");
    }
    if (options &&
        !options->takePassword([](const char* name) { return std::getenv(name); }, error)) {
        options.reset();
    }
    if (!options) {
        const std::string command = argc >= 2 ? argv[1] : "";
        std::fprintf(stderr, "orven-cli: %s\n%s", error.c_str(),
                     orven::CliOptions::usage(command).c_str());
        return static_cast<int>(CliExit::kUsage);
    }
    catchEndingSignals();
    const std::filesystem::path settings = orven::UserFolders().settingsPath();
    options->completeFrom(settings);
    orven::CliCommands commands(std::move(*options), g_cancel, g_signal, settings);
    return static_cast<int>(commands.run());
}
