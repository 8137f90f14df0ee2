#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orven::mainunit {

// What a data connection sends: pieces of text and ranges of files, read in turn, so that a
// bundle of many voice files never has to be held in memory.
class Payload {
  public:
    void addBytes(std::string bytes);
    void addFile(const std::filesystem::path& file, std::uint64_t offset, std::uint64_t length);
    std::uint64_t size() const { return m_size; }

    // Fills the buffer with the next bytes; 0 at the end, -1 when a file cannot be read (a
    // file that shrank meanwhile counts as unreadable).
    std::ptrdiff_t read(char* buffer, std::size_t capacity);

  private:
    struct Piece {
        std::string bytes;
        std::filesystem::path file;  // empty: the piece is `bytes`
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };

    std::ptrdiff_t readFile(Piece& piece, char* buffer, std::size_t capacity);

    std::vector<Piece> m_pieces;
    std::uint64_t m_size = 0;
    std::size_t m_current = 0;
    std::uint64_t m_doneInPiece = 0;
    std::ifstream m_file;
};

}  // namespace orven::mainunit
