#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "mainunit/MainUnitFaults.h"

namespace orven::mainunit {

// How a main unit stand-in is set up. Only root is required.
struct MainUnitOptions {
    static constexpr std::string_view kDefaultPassword = "zuka";

    // The folder served as "/": rusuroku/<box>/, naisen/<box>/ and outou/ below it (the three
    // kind folders are made when missing).
    std::filesystem::path root;
    std::string address = "127.0.0.1";
    std::uint16_t port = 0;  // 0: the system picks a free one; MainUnitServer::port() tells
    std::string password = std::string(kDefaultPassword);
    // Greeting text after "220 Zu-KA ".
    std::string model = "VM-8 voice mail unit";
    // The main unit holds at most this many system response messages.
    int maxResponseMessages = 300;
    // A session that sends nothing for this long is closed with 421.
    int idleTimeoutMs = 300000;
    // Connecting to the client's PORT address, and each piece of data after that.
    int dataTimeoutMs = 10000;
    // "DELE <box>/*.vminf" deletes only the messages of the box that this session was handed
    // in a bundle, instead of every message of the box as a main unit does; a message recorded
    // after the client's listing then survives.
    bool deleteOnlyHandedOut = false;
    // One line per session event (commands, with the password masked); none when empty.
    std::function<void(const std::string&)> log;
    MainUnitFaults faults;
};

}  // namespace orven::mainunit
