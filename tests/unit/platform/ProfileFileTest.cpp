#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <sys/stat.h>  // umask, chmod

#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;

// UTF-16LE bytes of the text, built unit by unit as Windows lays them out.
std::string utf16le(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

unsigned modeOf(const fs::path& path) {
    return static_cast<unsigned>(fs::status(path).permissions()) & 07777;
}

class ProfileFileTest : public ::testing::Test {
  protected:
    fs::path file(const std::string& bytes) {
        writeFile(m_path, bytes);
        return m_path;
    }

    test::TempDir m_dir;
    fs::path m_path = m_dir / "ORVEN.INI";
};

// As Notepad and WritePrivateProfileString leave it: CP932, a comment, blank lines, quotes,
// and second bytes of 0x5C right before the line end.
const std::string kWindowsCp932 =
    ";\x90\xdd\x92\xe8\r\n"
    "\r\n"
    "[Host]\r\n"
    "Name=\x83\x54\x81\x5b\x83\x6f\x81\x5b\x87\x40\r\n"
    "Dir = \"C:\\Program Files\\\x83\x5c\" \r\n"
    "Empty=\r\n"
    "\r\n"
    "[Other]\r\n"
    "Name=\x95\x5c\r\n";

TEST_F(ProfileFileTest, ReadsWindowsCp932File) {
    const ProfileFile ini(file(kWindowsCp932));
    EXPECT_EQ(ini.getString("Host", "Name"), "\u30B5\u30FC\u30D0\u30FC\u2460");
    EXPECT_EQ(ini.getString("Host", "Dir"), "C:\\Program Files\\\u30BD");
    EXPECT_EQ(ini.getString("Other", "Name"), "\u8868");
    EXPECT_EQ(ini.getString("Host", "Empty", "def"), "");
    EXPECT_EQ(ini.getString("Host", "Missing", "def"), "def");
    EXPECT_EQ(ini.getString("Nowhere", "Name", "def"), "def");
    EXPECT_EQ(ProfileFile(m_dir / "none.ini").getString("Host", "Name", "def"), "def");
}

TEST_F(ProfileFileTest, WritingOneKeyLeavesEveryOtherByte) {
    ProfileFile ini(file(kWindowsCp932));
    ASSERT_TRUE(ini.writeString("host", "NAME", "\u65E5\u672C"));
    std::string expected = kWindowsCp932;
    expected.replace(expected.find("Name="), 15, "Name=\x93\xfa\x96\x7b");
    EXPECT_EQ(readFile(m_path), expected);

    ASSERT_TRUE(ini.writeString("Host", "New", "v"));  // after the last key, before the blank
    expected.insert(expected.find("Empty=\r\n") + 8, "New=v\r\n");
    ASSERT_TRUE(ini.writeString("Added", "k", "caf\u00E9"));  // CP932 has no é
    expected += "[Added]\r\nk=caf?\r\n";
    EXPECT_EQ(readFile(m_path), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), {}), 1);  // no temporary left
}

TEST_F(ProfileFileTest, Utf16FileKeepsItsEncodingAndEveryOtherByte) {
    const std::string bom = "\xFF\xFE";
    const std::string original = bom + utf16le(u"; c\r\n[S]\r\nk=\u65E5\r\nold=1\r\n");
    ProfileFile ini(file(original), ProfileFile::Encoding::Cp932);
    EXPECT_EQ(ini.getString("S", "k"), "\u65E5");
    ASSERT_TRUE(ini.writeString("s", "OLD", "\u00E9\U0001F600"));
    EXPECT_EQ(readFile(m_path),
              bom + utf16le(u"; c\r\n[S]\r\nk=\u65E5\r\nold=\u00E9\U0001F600\r\n"));
    EXPECT_EQ(ini.getString("S", "old"), "\u00E9\U0001F600");
}

TEST_F(ProfileFileTest, NewFileGetsTheEncodingAndModeAsked) {
    const mode_t oldMask = umask(027);  // narrows the mode asked for, as for every new file
    ProfileFile utf16(m_dir / "a.ini", ProfileFile::Encoding::Utf16Le, 0600);
    ProfileFile cp932(m_dir / "b.ini");
    const bool written = utf16.writeString("S", "k", "v") && cp932.writeString("S", "k", "\uFF71");
    umask(oldMask);
    ASSERT_TRUE(written);
    EXPECT_EQ(readFile(utf16.path()), "\xFF\xFE" + utf16le(u"[S]\r\nk=v\r\n"));
    EXPECT_EQ(modeOf(utf16.path()), 0600u);
    EXPECT_EQ(readFile(cp932.path()), "[S]\r\nk=\xB1\r\n");
    EXPECT_EQ(modeOf(cp932.path()), 0640u);
}

TEST_F(ProfileFileTest, ExistingFileKeepsEncodingAndMode) {
    ProfileFile ini(file("[S]\r\nk=1\r\n"), ProfileFile::Encoding::Utf16Le, 0600);
    chmod(m_path.c_str(), 0640);
    ASSERT_TRUE(ini.writeInt("S", "k", 2));
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=2\r\n");
    EXPECT_EQ(modeOf(m_path), 0640u);

    const std::string utf8Bom = "\xEF\xBB\xBF";
    file(utf8Bom + "[S]\r\nk=\u65E5\r\n");
    EXPECT_EQ(ini.getString("S", "k"), "\u65E5");
    ASSERT_TRUE(ini.writeString("S", "e", "\u00E9"));
    EXPECT_EQ(readFile(m_path), utf8Bom + "[S]\r\nk=\u65E5\r\ne=\u00E9\r\n");
}

TEST_F(ProfileFileTest, WritesThroughASymbolicLinkToItsFile) {
    file("[S]\r\nk=1\r\n");
    fs::create_symlink(m_path.filename(), m_dir / "link.ini");
    ASSERT_TRUE(ProfileFile(m_dir / "link.ini").writeInt("S", "k", 2));
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.ini"));
    EXPECT_EQ(readFile(m_path), "[S]\r\nk=2\r\n");
}

TEST_F(ProfileFileTest, NamesIgnoreCaseAndBlanksAndFirstMatchWins) {
    ProfileFile ini(file("[ MySec ]\nKeyName\t= one \nkeyname=two\n[mysec]\nother=x\n"));
    EXPECT_EQ(ini.getString("MYSEC", " KEYNAME "), "one");
    EXPECT_EQ(ini.getString("MySec", "other", "hidden"), "hidden");
    ASSERT_TRUE(ini.writeString("mysec", "KEYNAME", "1"));
    EXPECT_EQ(readFile(m_path), "[ MySec ]\nKeyName=1\nkeyname=two\n[mysec]\nother=x\n");
}

TEST_F(ProfileFileTest, OneSurroundingPairOfQuotesIsRemoved) {
    const ProfileFile ini(file("[S]\na= \"a b\" \nb=\"abc\nc=\"\"\nd=\"x\"y\"\n;e=1\nf=\"\n"));
    EXPECT_EQ(ini.getString("S", "a"), "a b");
    EXPECT_EQ(ini.getString("S", "b"), "\"abc");
    EXPECT_EQ(ini.getString("S", "c", "def"), "");
    EXPECT_EQ(ini.getString("S", "d"), "x\"y");
    EXPECT_EQ(ini.getString("S", ";e", "comment"), "comment");
    EXPECT_EQ(ini.getString("S", "f"), "\"");
}

TEST_F(ProfileFileTest, IntegersAreReadAsWindowsReadsThem) {
    const ProfileFile ini(file(
        "[S]\na=-9999\nb=\" 12ab\"\nc=ab\nd=\ne=99999999999\nf=+7\ng=-2147483648\nh=4294967295\n"));
    EXPECT_EQ(ini.getInt("S", "a", 5), -9999);
    EXPECT_EQ(ini.getInt("S", "b", 5), 12);
    EXPECT_EQ(ini.getInt("S", "c", 5), 0);
    EXPECT_EQ(ini.getInt("S", "d", 5), 5);
    EXPECT_EQ(ini.getInt("S", "missing", 5), 5);
    EXPECT_EQ(ini.getInt("S", "e", 5), 1215752191);  // wrapped to 32 bits
    EXPECT_EQ(ini.getInt("S", "f", 5), 7);
    EXPECT_EQ(ini.getInt("S", "g", 5), INT_MIN);
    EXPECT_EQ(ini.getInt("S", "h", 5), -1);
}

TEST_F(ProfileFileTest, LineEndsAndPlacementOfNewLines) {
    ProfileFile ini(file("[A]\rx=1\r[B]\n\n[C]\r\nc=1"));  // CR, LF, CRLF, none at the end
    EXPECT_EQ(ini.getString("A", "x"), "1");
    ASSERT_TRUE(ini.writeString("B", "b", "2"));  // a section without keys: right after it
    ASSERT_TRUE(ini.writeString("C", "d", "3"));
    EXPECT_EQ(readFile(m_path), "[A]\rx=1\r[B]\nb=2\r\n\n[C]\r\nc=1\r\nd=3\r\n");
    ASSERT_TRUE(ini.writeString("C", "e", "x\r\n[D]"));  // a line break cannot split the line
    EXPECT_EQ(ini.getString("D", "e", "none"), "none");
}

// Runs as root too: the faults come from the file system, not from permissions.
TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFile) {
    const std::string old = "[S]\r\nk=old\r\n";
    struct Case {
        const char* what;
        std::function<void(test::FakeFileSystem&)> fault;
    };
    const Case cases[] = {
        {"the write fails",
         [&](test::FakeFileSystem& files) { files.setWritesFail(m_dir.path()); }},
        // Writing what could not be read would lose every other key.
        {"the file cannot be read",
         [&](test::FakeFileSystem& files) { files.setReadsFail(m_path); }},
    };
    for (const Case& c : cases) {
        test::FakeFileSystem files;
        c.fault(files);
        ProfileFile ini(file(old), ProfileFile::Encoding::Cp932, 0644, &files);
        EXPECT_FALSE(ini.writeString("S", "k", "new")) << c.what;
        EXPECT_EQ(readFile(m_path), old) << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), {}), 1) << c.what;
    }
    fs::create_directory(m_dir / "folder.ini");
    EXPECT_FALSE(ProfileFile(m_dir / "folder.ini").writeString("S", "k", "v"));
    EXPECT_TRUE(fs::is_directory(m_dir / "folder.ini"));
    EXPECT_FALSE(ProfileFile(m_dir / "no" / "x.ini").writeString("S", "k", "v"));
}

TEST_F(ProfileFileTest, DamagedFilesNeitherCrashNorHang) {
    std::string noise;
    for (unsigned i = 0, x = 7; i < 50000; ++i, x = x * 1103515245 + 12345) {
        noise += static_cast<char>(x >> 16);
    }
    const std::string cases[] = {
        "\xFF\xFE" + utf16le(u"[S]\r\nk=1") + "\x41",     // odd byte count after the BOM
        std::string("[S]\r\nk=\0\x81", 9),                // NUL, half a double-byte character
        "[S]\r\nk=" + std::string(100000, 'x') + "\r\n",  // very long line
        "[S]\r\n" + noise,
    };
    for (const std::string& bytes : cases) {
        ProfileFile ini(file(bytes));
        ini.getString("S", "k");
        ASSERT_TRUE(ini.writeString("S", "new", "ok"));
        EXPECT_EQ(ini.getString("S", "new"), "ok");
    }
}

}  // namespace
}  // namespace orven
