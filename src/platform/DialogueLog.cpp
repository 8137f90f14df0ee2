#include "platform/DialogueLog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>

namespace orven {
namespace {

constexpr std::string_view kPasswordVerb = "PASS";
constexpr std::string_view kMaskedArgument = " ****";

// "PASS secret" or "pass secret": the verb is read in either case, as servers do.
bool isPasswordLine(std::string_view text) {
    const std::string_view verb = text.substr(0, text.find(' '));
    return std::equal(verb.begin(), verb.end(), kPasswordVerb.begin(), kPasswordVerb.end(),
                      [](char got, char wanted) {
                          return std::toupper(static_cast<unsigned char>(got)) == wanted;
                      });
}

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
}

// "2026-12-07 09:05:03.045"
std::string localTimeText(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d",
                  static_cast<int>(sinceEpoch.count() % 1000));
    return text;
}

}  // namespace

void DialogueLog::record(int connection, Direction direction, std::string_view text) {
    writeLine(formatLine(std::chrono::system_clock::now(), connection, direction, text));
}

std::string DialogueLog::formatLine(std::chrono::system_clock::time_point time, int connection,
                                    Direction direction, std::string_view text) {
    std::string line = localTimeText(time);
    line += " #" + std::to_string(connection);
    line += direction == Direction::Sent ? " > " : " < ";
    if (direction == Direction::Sent && isPasswordLine(text)) {
        appendEscaped(line, text.substr(0, kPasswordVerb.size()));
        line += kMaskedArgument;
    } else {
        appendEscaped(line, text);
    }
    line += '\n';
    return line;
}

void StreamDialogueLog::writeLine(std::string_view line) {
    const std::lock_guard lock(m_mutex);
    m_out.write(line.data(), static_cast<std::streamsize>(line.size()));
    m_out.flush();
}

}  // namespace orven
