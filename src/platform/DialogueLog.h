#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace orven {

// Where the link writes its dialogue with the main unit, for support: every command line it
// sends and every reply line it reads, one log line each, such as
//   "2026-12-07 09:05:03.045 #3 > USER maint"
// (local time, the log-in's number in this process, "> " sent or "< " received, the text in
// UTF-8). The argument of PASS is always written as "****".
//
// The always-on download worker and the window's thread both use the link, so every
// implementation takes lines from any thread and writes each one whole, in one piece.
class DialogueLog {
  public:
    enum class Direction { Sent, Received };

    virtual ~DialogueLog() = default;

    // One finished log line, its '\n' included.
    virtual void writeLine(std::string_view line) = 0;

    // Formats the text (without its line end) with the time of now and writes it.
    void record(int connection, Direction direction, std::string_view text);

    // The log line of the text. Control characters become "\xNN", so that a stray CR or LF
    // in a reply can never split or forge a log line.
    static std::string formatLine(std::chrono::system_clock::time_point time, int connection,
                                  Direction direction, std::string_view text);
};

// The dialogue on a stream such as std::cerr, flushed after every line.
class StreamDialogueLog : public DialogueLog {
  public:
    // The stream must outlive the log.
    explicit StreamDialogueLog(std::ostream& out) : m_out(out) {}

    void writeLine(std::string_view line) override;

  private:
    std::mutex m_mutex;
    std::ostream& m_out;
};

// Every line to both logs, which it owns.
class TeeDialogueLog : public DialogueLog {
  public:
    TeeDialogueLog(std::unique_ptr<DialogueLog> first, std::unique_ptr<DialogueLog> second)
        : m_first(std::move(first)), m_second(std::move(second)) {}

    void writeLine(std::string_view line) override {
        m_first->writeLine(line);
        m_second->writeLine(line);
    }

  private:
    std::unique_ptr<DialogueLog> m_first;
    std::unique_ptr<DialogueLog> m_second;
};

}  // namespace orven
