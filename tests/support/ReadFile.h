#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orven::test {

// The whole file as bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace orven::test
