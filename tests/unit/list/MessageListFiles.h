#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "store/FILESTS_INFO.h"
#include "store/HeaderBlock.h"
#include "support/FileBytes.h"

namespace orven::test {

// A message as a store keeps it, for lists to read.
struct StoredMessage {
    std::string boxNumber = "0101";  // goes into the file name
    int serial = 1;
    std::string date = "2024/01/05 09:30";
    std::string callerName = "";
    std::uint8_t downloadState = 2;
    std::uint8_t mark = 0;
    bool voice = true;  // a voice file lies beside the information file
};

// "YYYYMMDDhhmm_WWW_BBBB_NNNNN", the stem of a box message's files.
inline std::string messageStem(const StoredMessage& m) {
    char stem[64];
    std::snprintf(stem, sizeof stem, "202401050930_FRI_%.4s_%05d", m.boxNumber.c_str(), m.serial);
    return stem;
}

inline std::string recordBytes(FILESTS_INFO record, const HeaderBlock& block) {
    FILESTS_INFO::setText(record.recordingLength, "00:00:05");
    return record.toBytes() + block.str();
}

// Writes the message into the box folder; returns its information file.
inline std::filesystem::path putMessage(const std::filesystem::path& box, const StoredMessage& m) {
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    record.mark = m.mark;
    record.downloadState = m.downloadState;
    FILESTS_INFO::setText(record.recordingDate, m.date);
    FILESTS_INFO::setText(record.callerName, m.callerName);
    HeaderBlock block;
    block.setSignature();
    const std::filesystem::path info = box / (messageStem(m) + ".vminf");
    writeFile(info, recordBytes(record, block));
    if (m.voice) {
        writeFile(box / (messageStem(m) + ".aac"), "voice");
    }
    return info;
}

// Writes system response message n (1 to 300) into the response folder.
inline std::filesystem::path putResponse(const std::filesystem::path& folder, int n,
                                         const std::string& name) {
    const std::string digits = std::to_string(1000 + n).substr(1);
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    FILESTS_INFO::setText(record.boxNumber, digits);
    FILESTS_INFO::setText(record.callerName, name);
    HeaderBlock block;
    block.setSignature();
    block.setResponseNumber(static_cast<std::uint16_t>(n));
    block.setField(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize, digits);
    const std::filesystem::path info = folder / ("202401050930_FRI_A" + digits + "_0001.vminf");
    writeFile(info, recordBytes(record, block));
    writeFile(folder / ("202401050930_FRI_A" + digits + "_0001.aac"), "voice");
    return info;
}

// Every file below the folder with its bytes and time, to tell that nothing was written.
struct FolderSnapshot {
    std::map<std::filesystem::path, std::pair<std::string, std::filesystem::file_time_type>> files;
    explicit FolderSnapshot(const std::filesystem::path& folder) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files[entry.path()] = {readFile(entry.path()), entry.last_write_time()};
            }
        }
    }
    bool operator==(const FolderSnapshot&) const = default;
};

}  // namespace orven::test
