#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "mainunit/MainUnitServer.h"
#include "support/FileBytes.h"
#include "support/FtpTestClient.h"
#include "support/TempDir.h"

namespace orven::mainunit::test {

using orven::test::readFile;
using orven::test::writeFile;

using orven::test::FtpTestClient;

inline std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// A header block written out byte by byte: name at 0, signature at 64, flags at 193.
inline std::string headerBlock(const std::string& name, std::uint8_t flags = 0) {
    std::string block(256, '\0');
    block.replace(0, name.size(), name);
    block.replace(64, 16, "Zu-KA Voice-data");
    block[193] = static_cast<char>(flags);
    return block;
}

// count, 12 zero bytes, then each name NUL-padded to 64 bytes.
inline std::string requestList(const std::vector<std::string>& names) {
    std::string list = be32(static_cast<std::uint32_t>(names.size())) + std::string(12, '\0');
    for (const std::string& name : names) {
        list += name + std::string(64 - name.size(), '\0');
    }
    return list;
}

// A main unit on an ephemeral loopback port over a fresh folder, stopped before the folder
// goes.
class MainUnitTest : public ::testing::Test {
  protected:
    static constexpr const char* kBox = "/rusuroku/0101";

    MainUnitTest() {
        options.root = dir.path() / "root";
        options.password = "secret";
    }

    void start() {
        server = std::make_unique<MainUnitServer>(options);
        ASSERT_TRUE(server->start());
    }

    std::unique_ptr<FtpTestClient> connect() {
        auto client = std::make_unique<FtpTestClient>(server->port());
        EXPECT_EQ(client->readReply().code, 220);
        return client;
    }

    // The usual start of a test: the server up and a client logged in.
    FtpTestClient& logIn() {
        if (!server) {
            start();
        }
        client = connect();
        EXPECT_TRUE(client->logIn("maint", "secret"));
        return *client;
    }

    std::filesystem::path real(const std::string& virtualPath) const {
        return options.root / std::filesystem::path(virtualPath).relative_path();
    }

    // A message as the main unit keeps it; returns the ".vmdat" bytes.
    std::string addMessage(const std::string& folder, const std::string& stem,
                           const std::string& voice = "AAC", std::uint8_t flags = 0) {
        const std::string header = headerBlock(stem + ".vmdat", flags);
        const std::string data = header + be32(static_cast<std::uint32_t>(voice.size())) + voice;
        writeFile(real(folder + "/" + stem + ".vminf"), header);
        writeFile(real(folder + "/" + stem + ".vmdat"), data);
        return data;
    }

    bool exists(const std::string& virtualPath) const {
        return std::filesystem::exists(real(virtualPath));
    }

    orven::test::TempDir dir;
    MainUnitOptions options;
    std::unique_ptr<MainUnitServer> server;
    std::unique_ptr<FtpTestClient> client;
};

}  // namespace orven::mainunit::test
