#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/LocalTime.h"

namespace orven {

// The 256-byte block the main unit sends for every message and that follows the record in
// a message information file. The PC reads a few fields and otherwise keeps it as it came.
// Integers are big-endian; texts are CP932.
class HeaderBlock {
  public:
    static constexpr std::size_t kSize = 256;
    static constexpr std::string_view kSignature = "Zu-KA Voice-data";

    // Offsets of the fields the PC reads or writes.
    static constexpr std::size_t kNameAt = 0, kNameSize = 64;
    static constexpr std::size_t kSignatureAt = 64;
    static constexpr std::size_t kDateAt = 96, kDateSize = 32;
    static constexpr std::size_t kCallerNameAt = 128, kCallerNameSize = 32;
    static constexpr std::size_t kCallerNumberAt = 160, kCallerNumberSize = 32;
    static constexpr std::size_t kFlagsAt = 193;
    static constexpr std::size_t kLengthAt = 194;
    static constexpr std::size_t kResponseNumberAt = 198;
    static constexpr std::size_t kBoxNumberAt = 202, kBoxNumberSize = 4;

    static constexpr std::uint8_t kFlagPlayed = 0x01;
    static constexpr std::uint8_t kFlagProtected = 0x02;

    HeaderBlock() { m_bytes.fill(0); }
    // Takes the first 256 bytes; a shorter text leaves the rest zero.
    explicit HeaderBlock(std::string_view bytes);

    std::string_view bytes() const {
        return {reinterpret_cast<const char*>(m_bytes.data()), kSize};
    }
    std::string str() const { return std::string(bytes()); }

    // The message file name as the main unit wrote it: NULs read as blanks, trailing blanks
    // trimmed, converted from CP932.
    std::string fileName() const;
    bool hasSignature() const;
    std::uint8_t flags() const { return m_bytes[kFlagsAt]; }
    std::uint32_t lengthTenths() const { return read32(kLengthAt); }
    std::uint16_t responseNumber() const { return read16(kResponseNumberAt); }
    // Raw bytes of a text field up to its first NUL.
    std::string field(std::size_t at, std::size_t size) const;

    // Writers, used when the PC makes a message itself and by the main unit stand-in.
    void setFileName(std::string_view utf8);
    void setSignature();
    void setDate(const LocalTime& time);  // "Fri, 05 Jan 2024 09:30 +0900" with NULs between
    void setField(std::size_t at, std::size_t size, std::string_view rawBytes);
    void setFlags(std::uint8_t flags) { m_bytes[kFlagsAt] = flags; }
    void setLengthTenths(std::uint32_t tenths) { write32(kLengthAt, tenths); }
    void setResponseNumber(std::uint16_t number) { write16(kResponseNumberAt, number); }

    // The 32-byte date field for a moment, in the layout the PC writes.
    static std::string dateField(const LocalTime& time);

    static std::uint32_t readBigEndian32(std::string_view fourBytes);
    static std::string bigEndian32(std::uint32_t value);

  private:
    std::uint32_t read32(std::size_t at) const;
    std::uint16_t read16(std::size_t at) const;
    void write32(std::size_t at, std::uint32_t value);
    void write16(std::size_t at, std::uint16_t value);

    std::array<std::uint8_t, kSize> m_bytes;
};

}  // namespace orven
