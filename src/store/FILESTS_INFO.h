#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orven {

// The 1010-byte message record: the head of every message information file and the row of
// every message list. Text fields are NUL-terminated UTF-16LE; the struct's memory layout is
// the file layout, so a record is read and written with one copy and a list of 50 000 of
// them needs no allocation per message.
struct FILESTS_INFO {
    static constexpr std::size_t kSize = 1010;

    std::uint8_t mark;           // bit 0: the user's mark
    std::uint8_t played;         // 0 not yet played; response messages: uploaded
    std::uint8_t downloadState;  // 0 information only, 1/2 with voice (played/not on the
                                 // main unit), 3 deleted on the main unit after download
    std::uint8_t protect;        // 1 protected on the main unit
    char16_t boxNumber[5];
    char16_t boxName[21];
    char16_t callerNumber[33];
    char16_t callerName[33];
    char16_t recordingDate[20];   // "YYYY/MM/DD hh:mm"
    char16_t recordingLength[9];  // "hh:mm:ss"
    char16_t title[41];
    char16_t memo[81];
    char16_t filePath[260];  // set by the folder scan; no meaning on disk

    // A record with every byte zero.
    static FILESTS_INFO zeroed();

    // The text of a field, up to its first NUL.
    template <std::size_t N>
    static std::string text(const char16_t (&field)[N]) {
        return textOf(field, N);
    }

    // Writes the text zero-padded, cut to N - 1 UTF-16 units without splitting a pair.
    template <std::size_t N>
    static void setText(char16_t (&field)[N], std::string_view utf8) {
        setTextOf(field, N, utf8);
    }
    template <std::size_t N>
    static void setText(char16_t (&field)[N], std::u16string_view text) {
        setTextOf(field, N, text);
    }

    // The record as the 1010 bytes of the file, and back; fromBytes needs at least 1010 bytes.
    std::string toBytes() const;
    static FILESTS_INFO fromBytes(std::string_view bytes);

  private:
    static std::string textOf(const char16_t* field, std::size_t size);
    static void setTextOf(char16_t* field, std::size_t size, std::string_view utf8);
    static void setTextOf(char16_t* field, std::size_t size, std::u16string_view text);
};

static_assert(sizeof(FILESTS_INFO) == FILESTS_INFO::kSize);
static_assert(offsetof(FILESTS_INFO, boxNumber) == 4);
static_assert(offsetof(FILESTS_INFO, boxName) == 14);
static_assert(offsetof(FILESTS_INFO, callerNumber) == 56);
static_assert(offsetof(FILESTS_INFO, callerName) == 122);
static_assert(offsetof(FILESTS_INFO, recordingDate) == 188);
static_assert(offsetof(FILESTS_INFO, recordingLength) == 228);
static_assert(offsetof(FILESTS_INFO, title) == 246);
static_assert(offsetof(FILESTS_INFO, memo) == 328);
static_assert(offsetof(FILESTS_INFO, filePath) == 490);
static_assert(std::endian::native == std::endian::little, "records are stored little-endian");

}  // namespace orven
