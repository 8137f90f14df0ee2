#include "store/VoiceData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ManualClock.h"
#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;

// ADTS frames of 7-byte headers and silence, padded with zeros to `size` bytes. The default
// header: sync, no CRC (F1); AAC-LC, 8000 Hz (index 11) (6C); one channel (40).
struct Adts {
    int frames = 1;
    std::size_t size = 0;
    unsigned char b1 = 0xF1, b2 = 0x6C, b3 = 0x40;

    std::string bytes() const {
        std::string stream;
        for (int i = 0; i < frames; ++i) {
            stream += std::string{'\xFF', char(b1), char(b2), char(b3), 0x01, 0x1F, '\xFC'};
        }
        stream.resize(std::max(stream.size(), size), '\0');
        return stream;
    }
};

class VoiceDataTest : public ::testing::Test {
  protected:
    double duration(const Adts& adts) {
        writeFile(dir / "in.aac", adts.bytes());
        return VoiceData::GetAacDuration(dir / "in.aac");
    }

    test::TempDir dir;
};

TEST_F(VoiceDataTest, PlayingTimeAndBitRateLimits) {
    EXPECT_DOUBLE_EQ(duration({.frames = 4687}), 599.936);
    EXPECT_EQ(duration({.frames = 4688}), VoiceData::kNotAccepted);
    EXPECT_DOUBLE_EQ(duration({.frames = 469, .size = 360000}), 60.032);            // 47 974 bit/s
    EXPECT_EQ(duration({.frames = 469, .size = 361000}), VoiceData::kNotAccepted);  // 48 107 bit/s
}

TEST_F(VoiceDataTest, OnlyEightKilohertzMonoWithoutCrcIsAccepted) {
    EXPECT_EQ(duration({.b3 = 0x80}), VoiceData::kNotAccepted);  // two channels
    EXPECT_EQ(duration({.b2 = 0x60}), VoiceData::kNotAccepted);  // 16 000 Hz
    EXPECT_EQ(duration({.b1 = 0xF0}), VoiceData::kNotAccepted);  // CRC present
    EXPECT_EQ(duration({.b2 = 0x6D}), VoiceData::kNotAccepted);  // channel configuration 5
    EXPECT_DOUBLE_EQ(duration({.frames = 1}), 0.128);
}

TEST_F(VoiceDataTest, ShortMissingAndTruncatedFilesAreSafe) {
    writeFile(dir / "empty.aac", "");
    writeFile(dir / "three.aac", "\xFF\xF1\x6C");
    writeFile(dir / "endsInFF.aac", "\xFF\xF1\x6C\x40\xFF");
    EXPECT_EQ(VoiceData::GetAacDuration(dir / "empty.aac"), VoiceData::kNotAccepted);
    EXPECT_EQ(VoiceData::GetAacDuration(dir / "three.aac"), VoiceData::kNotAccepted);
    EXPECT_EQ(VoiceData::GetAacDuration(dir / "missing.aac"), VoiceData::kNotAccepted);
    EXPECT_EQ(VoiceData::GetAacDuration(dir.path()), VoiceData::kNotAccepted);
    EXPECT_DOUBLE_EQ(VoiceData::GetAacDuration(dir / "endsInFF.aac"), 0.128);
    // With FF as the second header byte, a run of three FF bytes holds one frame start.
    writeFile(dir / "run.aac", "\xFF\xFF\x6C\x40\xFF\xFF\xFF");
    EXPECT_DOUBLE_EQ(VoiceData::GetAacDuration(dir / "run.aac"), 0.256);
}

TEST_F(VoiceDataTest, AudioExportsOfEitherCaseAreFoundAndDeleted) {
    writeFile(dir / "keep.aac", "");
    EXPECT_EQ(VoiceData::HasAudioExports(dir.path()), 0);
    for (const char* name : {"a.wav", "b.WAV", "c.wma", "d.WMA"}) {
        writeFile(dir / name, "x");
    }
    fs::create_directory(dir / "folder.wav");
    EXPECT_EQ(VoiceData::HasAudioExports(dir.path()), 1);
    EXPECT_EQ(VoiceData::DeleteAudioExports(dir.path()), 1);
    EXPECT_EQ(VoiceData::HasAudioExports(dir.path()), 0);
    EXPECT_TRUE(fs::exists(dir / "keep.aac"));
    EXPECT_TRUE(fs::exists(dir / "folder.wav"));
}

TEST_F(VoiceDataTest, UploadImageIsHeaderBlockLengthAndVoice) {
    std::string header(256, '\0');
    for (int i = 0; i < 256; ++i) {
        header[i] = static_cast<char>(i);
    }
    writeFile(dir / "m.vminf", std::string(1010, 'r') + header);
    writeFile(dir / "m.AAC", "VOICE");
    EXPECT_EQ(VoiceData::BuildUploadImage(dir / "m.vminf", dir / "m.aac"),
              header + std::string("\0\0\0\x05VOICE", 9));
    // Whatever a longer information file holds past its 1266 bytes is not the main unit's.
    writeFile(dir / "long.vminf", std::string(1010, 'r') + header + "SURPLUS");
    EXPECT_EQ(VoiceData::BuildUploadImage(dir / "long.vminf", dir / "m.aac"),
              header + std::string("\0\0\0\x05VOICE", 9));
    writeFile(dir / "short.vminf", std::string(1265, 'r'));
    EXPECT_EQ(VoiceData::BuildUploadImage(dir / "short.vminf", dir / "m.aac"), std::nullopt);
    EXPECT_EQ(VoiceData::BuildUploadImage(dir / "m.vminf", dir / "none.aac"), std::nullopt);

    EXPECT_EQ(VoiceData::uploadName("202401050930_FRI_A007_0000.AAC"),
              "202401050930_FRI_A007_0000.vmdat");
    EXPECT_EQ(VoiceData::uploadName("x.aac"), "x.vmdat");
    EXPECT_EQ(VoiceData::uploadName("x.wav"), "");
}

class VoiceDataImportTest : public VoiceDataTest {
  protected:
    VoiceDataImportTest() {
        fs::create_directories(outou);
        context.clock = &clock;
        context.fileSystem = &fileSystem;
        writeFile(userFile, voice);
    }

    VoiceData::MakeResult import(int number, const fs::path& file) {
        return VoiceData(context).MakeResponseMessage(file, number, outou, &made);
    }

    ManualClock clock{LocalTime::make(2024, 1, 5, 9, 30, 12)};
    test::FakeFileSystem fileSystem;
    StoreContext context;
    fs::path outou = dir / "store/outou";
    fs::path userFile = dir / "greeting.aac";
    std::string voice = Adts{.frames = 469, .size = 8192}.bytes();  // 60.032 s
    fs::path made;
};

// The information file laid out by hand: record fields, then the header block.
std::string expectedInfo() {
    std::string record(1010, '\0');
    record.replace(4, 6,
                   std::string("0\0"
                               "0\0"
                               "7\0",
                               6));
    record.replace(228, 16,
                   std::string("0\0"
                               "0\0:\0"
                               "0\0"
                               "1\0:\0"
                               "0\0"
                               "0\0",
                               16));
    std::string block(256, '\0');
    block.replace(0, 32, "202401050930_FRI_A007_0000.vmdat");
    block.replace(64, 16, "Zu-KA Voice-data");
    block.replace(96, 28,
                  std::string("Fri,\0"
                              "05\0Jan\0"
                              "2024\0"
                              "09:30\0+0900",
                              28));
    block.replace(194, 6, std::string("\0\0\x02\x58\0\x07", 6));  // 600 tenths, number 7
    block.replace(202, 3, "007");
    return record + block;
}

TEST_F(VoiceDataImportTest, StoresTheNamedMessageAndReplacesTheOlderOne) {
    const std::string older = "202312011200_FRI_A007_0000",
                      downloaded = "202311011200_WED_A007_0001";
    const std::string other = "202312011200_FRI_A008_0000", newer = "202401050930_FRI_A007_0000";
    for (const std::string& name :
         {older + ".AAC", older + ".vminf", downloaded + ".aac", downloaded + ".vminf",
          other + ".aac", other + ".vminf", newer + ".aac"}) {
        writeFile(outou / name, "old");
    }

    ASSERT_EQ(import(7, userFile), VoiceData::MakeResult::Made);

    EXPECT_EQ(made, outou / (newer + ".vminf"));
    EXPECT_EQ(readFile(outou / (newer + ".AAC")), voice);
    EXPECT_EQ(readFile(made), expectedInfo());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(outou)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{other + ".aac", other + ".vminf", newer + ".AAC",
                                              newer + ".vminf"}));
}

TEST_F(VoiceDataImportTest, SecondImportInTheSameMinuteReplacesTheFirst) {
    ASSERT_EQ(import(7, userFile), VoiceData::MakeResult::Made);
    const std::string second = Adts{.frames = 10}.bytes();
    writeFile(userFile, second);
    ASSERT_EQ(import(7, userFile), VoiceData::MakeResult::Made);
    EXPECT_EQ(readFile(outou / "202401050930_FRI_A007_0000.AAC"), second);
    EXPECT_EQ(std::distance(fs::directory_iterator(outou), fs::directory_iterator()), 2);
}

TEST_F(VoiceDataImportTest, FreeSpaceMustCoverTheFileRoundedUpPastItsLastCluster) {
    fileSystem.setFreeSpace(outou, 12287);  // 8192 bytes need (8192 / 4096 + 1) * 4096
    EXPECT_EQ(import(7, userFile), VoiceData::MakeResult::NoSpace);
    EXPECT_TRUE(fs::is_empty(outou));
    fileSystem.setFreeSpace(outou, std::nullopt);  // a volume that cannot tell
    EXPECT_EQ(import(7, userFile), VoiceData::MakeResult::NoSpace);
    EXPECT_TRUE(fs::is_empty(outou));
    fileSystem.setFreeSpace(outou, 12288);
    EXPECT_EQ(import(7, userFile), VoiceData::MakeResult::Made);
}

TEST_F(VoiceDataImportTest, RefusedImportsLeaveTheStoreAlone) {
    writeFile(outou / "202312011200_FRI_A007_0000.vminf", "old");
    writeFile(dir / "greeting.wav", voice);
    writeFile(dir / "stereo.aac", Adts{.b3 = 0x80}.bytes());
    EXPECT_EQ(import(0, userFile), VoiceData::MakeResult::Unsupported);
    EXPECT_EQ(import(301, userFile), VoiceData::MakeResult::Unsupported);
    EXPECT_EQ(import(7, dir / "greeting.wav"), VoiceData::MakeResult::Unsupported);
    EXPECT_EQ(import(7, dir / "stereo.aac"), VoiceData::MakeResult::Unsupported);
    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(import(7, userFile), VoiceData::MakeResult::Failed);
    EXPECT_EQ(std::distance(fs::directory_iterator(outou), fs::directory_iterator()), 1);
}

// A write that fails part way takes back what the import wrote: the voice file goes again when
// the information file cannot be written, and the older message stays.
TEST_F(VoiceDataImportTest, FailedWriteLeavesTheStoreAsItWas) {
    const std::string older = "202312011200_FRI_A007_0000.vminf";
    writeFile(outou / older, "old");
    for (const int writesBefore : {0, 1}) {  // the voice file's write, the information file's
        fileSystem.failWrites(1, writesBefore);
        EXPECT_EQ(import(7, userFile), VoiceData::MakeResult::Failed) << writesBefore;
        EXPECT_EQ(fileSystem.writes(), 2 * writesBefore + 1);
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(outou)) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, std::vector<std::string>{older}) << writesBefore;
    }
}

}  // namespace
}  // namespace orven
