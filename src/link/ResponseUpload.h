#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/JobEnvironment.h"
#include "store/FILESTS_INFO.h"

namespace orven {

class CFileMng;
class Progress;

// Sends the selected system response messages back to the main unit, one STOR of a voice
// data file image each, and notes in every message's record whether it went up. The caller
// has stopped the always-on download and disabled the window; it refreshes the list after.
class ResponseUpload {
  public:
    struct Row {
        std::filesystem::path aacFile;
        FILESTS_INFO record;  // written back with its uploaded byte set
    };
    struct Outcome {
        int uploaded = 0;
        bool loggedOut = false;  // a communication failure ended the session
        bool refused = false;    // the main unit answered 450 for at least one message
        bool leftOut = false;    // a message without its voice file was not sent
    };

    explicit ResponseUpload(JobEnvironment& env) : m_env(env) {}

    // localFolder: the download folder base, where the link works.
    Outcome run(std::vector<Row>& rows, const std::filesystem::path& localFolder);

  private:
    enum class Step { Next, Stop, Failed };
    struct Pass;

    Step uploadRow(Pass& pass, Row& row);
    bool writeBack(Pass& pass, Row& row, bool uploaded);
    void failCommunication(Pass& pass);
    void report(const Pass& pass, std::size_t rowCount);
    void show(std::string_view text, std::string_view title, Icon icon);
    void progressStep(Pass& pass, std::size_t done, std::size_t total);
    bool cancelled() const { return m_env.cancelled(); }

    JobEnvironment& m_env;
};

}  // namespace orven
