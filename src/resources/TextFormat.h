#pragma once

#include <string>
#include <string_view>

namespace orven::text {

// A text with one "%s" filled in, as the product's formatted messages are.
inline std::string fill(std::string_view pattern, std::string_view value) {
    const auto at = pattern.find("%s");
    if (at == std::string_view::npos) {
        return std::string(pattern);
    }
    std::string out;
    out.reserve(pattern.size() + value.size());
    out.append(pattern.substr(0, at)).append(value).append(pattern.substr(at + 2));
    return out;
}

}  // namespace orven::text
