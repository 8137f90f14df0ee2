#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/ProfileFile.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The demo starts orven on a settings file of its own; it must be one that orven keeps in
// its own form, or a folder name that the code page of older files lacks would be lost.
TEST(DemoSettings, AreWrittenAsTheProgramWritesThemAndKeepAnyName) {
    const fs::path script = fs::path(__FILE__).parent_path() / "../../../scripts/demo.sh";
    ASSERT_NE(contents(script).find("--write-settings"), std::string::npos)
        << "demo.sh cannot write its settings file alone";
    test::TempDir dir;
    const fs::path ini = dir / "ORVEN.ini";
    const std::string command = "bash '" + script.string() + "' --write-settings '" + ini.string() +
                                "' 43210 '" + (dir / "data").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    EXPECT_EQ(contents(ini).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(fs::status(ini).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    ProfileFile file(ini);
    EXPECT_EQ(file.getString("LOGIN", "IP"), "127.0.0.1");
    EXPECT_EQ(file.getString("LOGIN", "USER"), "maint");
    EXPECT_EQ(file.getInt("LOGIN", "CHECK", 0), 1);
    EXPECT_EQ(file.getInt("LOGIN", "PORT", 0), 43210);
    EXPECT_EQ(file.getString("FOLDER", "FOLDER"), (dir / "data").string() + "/");
    EXPECT_EQ(file.getString("DISP", "FOLDERNAME"), "demo");

    const std::string folder = "DL_한국어_🎵";  // none of these in CP932
    ASSERT_TRUE(file.writeString("DISP", "FOLDERNAME", folder));
    EXPECT_EQ(ProfileFile(ini).getString("DISP", "FOLDERNAME"), folder);
    EXPECT_EQ(ProfileFile(ini).getString("LOGIN", "PASS"), "zuka");
}

}  // namespace
}  // namespace orven
