#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orven::mainunit {

// A system response message as a client uploads it: the 256-byte header block, the length L
// of the voice data (32-bit big-endian), then L bytes of AAC data. The same layout as the
// stored ".vmdat".
class UploadImage {
  public:
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

    // Nothing for a malformed image: shorter than its length field says, no voice data, a
    // header block without the signature, or anything but zero bytes after the voice data
    // (a client pads with zeros when its information file held more than the block).
    static std::optional<UploadImage> parse(std::string_view bytes);

    // The number NNN of a name "YYYYMMDDhhmm_WWW_ANNN_NNNN.vmdat"; nothing for other names.
    static std::optional<int> responseNumber(std::string_view name);

    const std::string& header() const { return m_header; }
    const std::string& voice() const { return m_voice; }
    // The ".vmdat" bytes: header block, length, voice data.
    std::string dataFile() const;

  private:
    std::string m_header;
    std::string m_voice;
};

}  // namespace orven::mainunit
