// orven-mainunit: the main unit stand-in as a program.
//
//   orven-mainunit --root DIR --port N [--password P] [--address A] [--demo]
//                  [--new-message-every SECONDS] [--delete-only-handed-out]
//
// Serves DIR over FTP on A:N (default 127.0.0.1) the way the telephone system's main unit
// serves its boxes. Log in as "maint" or "office" with the password (default "zuka").
// --demo fills an empty DIR with demo boxes and messages first; --new-message-every adds a
// new message to the next box at that interval. --delete-only-handed-out limits
// "DELE <box>/*.vminf" to the messages the session was handed in a bundle, instead of every
// message of the box. SIGINT or SIGTERM stop it cleanly.

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "mainunit/DemoData.h"
#include "mainunit/MainUnitServer.h"
#include "platform/SystemClock.h"

namespace {

using orven::mainunit::MainUnitOptions;
using orven::mainunit::MainUnitServer;

struct Arguments {
    MainUnitOptions options;
    bool demo = false;
    int newMessageEverySeconds = 0;
};

constexpr std::string_view kUsage =
    "usage: orven-mainunit --root DIR --port N [--password P] [--address A] [--demo]\n"
    "                      [--new-message-every SECONDS] [--delete-only-handed-out]\n";

std::optional<int> number(const char* text, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// One option with its value; false when it is unknown or its value is bad.
bool take(Arguments& args, std::string_view option, const char* value, bool& hasPort) {
    if (option == "--root") {
        args.options.root = value;
    } else if (option == "--port") {
        const auto port = number(value, 0, 65535);
        args.options.port = static_cast<std::uint16_t>(port.value_or(0));
        hasPort = port.has_value();
        return hasPort;
    } else if (option == "--password") {
        args.options.password = value;
    } else if (option == "--address") {
        args.options.address = value;
    } else if (option == "--new-message-every") {
        const auto seconds = number(value, 1, 86400 * 366);
        args.newMessageEverySeconds = seconds.value_or(0);
        return seconds.has_value();
    } else {
        return false;
    }
    return true;
}

std::optional<Arguments> parse(int argc, char** argv) {
    Arguments args;
    bool hasPort = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--demo") {
            args.demo = true;
        } else if (option == "--delete-only-handed-out") {
            args.options.deleteOnlyHandedOut = true;
        } else if (i + 1 >= argc || !take(args, option, argv[++i], hasPort)) {
            return std::nullopt;
        }
    }
    if (args.options.root.empty() || !hasPort) {
        return std::nullopt;
    }
    return args;
}

// Signals arrive through a descriptor, so the wait below ends cleanly on either of them. A
// shell starts background jobs with SIGINT ignored, and an ignored signal never reaches the
// descriptor, so the default disposition comes back first.
int blockStopSignals() {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

void waitForStop(int signals, const Arguments& args) {
    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::seconds(args.newMessageEverySeconds);
    auto next = Clock::now() + interval;
    for (;;) {
        int timeout = -1;
        if (args.newMessageEverySeconds > 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, left.count()));
        }
        pollfd fd{signals, POLLIN, 0};
        if (::poll(&fd, 1, timeout) > 0) {
            return;
        }
        if (args.newMessageEverySeconds > 0 && Clock::now() >= next) {
            if (!orven::DemoData::addMessage(args.options.root, orven::SystemClock().now())) {
                std::cerr << "orven-mainunit: no new message could be added\n";
            }
            next += interval;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    auto args = parse(argc, argv);
    if (!args) {
        std::cerr << kUsage;
        return 2;
    }
    const int signals = blockStopSignals();
    if (args->demo) {
        const int made = orven::DemoData::seed(args->options.root, orven::SystemClock().now());
        std::cerr << "orven-mainunit: "
                  << (made < 0 ? "root not empty, demo data not added"
                               : std::to_string(made) + " demo messages made")
                  << "\n";
    }
    args->options.log = [](const std::string& line) { std::cerr << line << "\n"; };
    MainUnitServer server(args->options);
    std::string error;
    if (signals < 0 || !server.start(&error)) {
        std::cerr << "orven-mainunit: " << (signals < 0 ? "no signal descriptor" : error) << "\n";
        return 1;
    }
    std::cerr << "orven-mainunit: serving " << args->options.root.string() << " on "
              << args->options.address << ":" << server.port() << "\n";
    waitForStop(signals, *args);
    server.stop();
    ::close(signals);
    return 0;
}
