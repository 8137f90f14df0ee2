#include "mainunit/Payload.h"

#include <algorithm>
#include <cstring>

namespace orven::mainunit {

void Payload::addBytes(std::string bytes) {
    Piece piece;
    piece.length = bytes.size();
    piece.bytes = std::move(bytes);
    m_size += piece.length;
    m_pieces.push_back(std::move(piece));
}

void Payload::addFile(const std::filesystem::path& file, std::uint64_t offset,
                      std::uint64_t length) {
    Piece piece;
    piece.file = file;
    piece.offset = offset;
    piece.length = length;
    m_size += length;
    m_pieces.push_back(std::move(piece));
}

std::ptrdiff_t Payload::read(char* buffer, std::size_t capacity) {
    while (m_current < m_pieces.size() && m_doneInPiece == m_pieces[m_current].length) {
        ++m_current;
        m_doneInPiece = 0;
        m_file.close();
    }
    if (m_current == m_pieces.size() || capacity == 0) {
        return 0;
    }
    Piece& piece = m_pieces[m_current];
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(capacity, piece.length - m_doneInPiece));
    if (!piece.file.empty()) {
        return readFile(piece, buffer, count);
    }
    std::memcpy(buffer, piece.bytes.data() + m_doneInPiece, count);
    m_doneInPiece += count;
    return static_cast<std::ptrdiff_t>(count);
}

std::ptrdiff_t Payload::readFile(Piece& piece, char* buffer, std::size_t count) {
    if (!m_file.is_open()) {
        m_file.open(piece.file, std::ios::binary);
        m_file.seekg(static_cast<std::streamoff>(piece.offset));
    }
    m_file.read(buffer, static_cast<std::streamsize>(count));
    if (m_file.gcount() != static_cast<std::streamsize>(count)) {
        return -1;
    }
    m_doneInPiece += count;
    return static_cast<std::ptrdiff_t>(count);
}

}  // namespace orven::mainunit
