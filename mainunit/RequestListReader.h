#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven::mainunit {

// Reads the request list a client stores before it asks for a bundle: the count of names
// (32-bit big-endian), 12 reserved bytes, then one 64-byte CP932 name per message, padded
// with NUL bytes.
class RequestListReader {
  public:
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kNameSize = 64;
    static constexpr std::size_t kMaxNames = 10000;
    static constexpr std::size_t kMaxBytes = kHeaderSize + kNameSize * kMaxNames;

    // The names in UTF-8, in request order; nothing when the bytes are not a well-formed
    // list: a size that does not match the count, too many names, or a name that is empty,
    // holds a control byte or a path separator, or begins with '.'.
    static std::optional<std::vector<std::string>> parse(std::string_view bytes);

  private:
    static std::optional<std::string> name(std::string_view field);
};

}  // namespace orven::mainunit
