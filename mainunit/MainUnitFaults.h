#pragma once

#include <cstdint>
#include <string>

namespace orven::mainunit {

// Misbehaviour a test can switch on to drive the client's failure paths. The defaults are a
// healthy main unit. Faults can be changed while the server runs; each command and each
// transfer reads them afresh.
struct MainUnitFaults {
    // PASS is answered 530 whatever the password.
    bool refuseLogIn = false;
    // > 0: the control connection is closed, without a word, once this many commands of the
    // session have been answered.
    int dropControlAfterCommands = 0;
    // >= 0: every data connection is cut after this many bytes (either direction); the
    // transfer is answered 426 and a cut upload is not stored.
    std::int64_t dropDataAfterBytes = -1;
    // The drops above fire once and then switch themselves off, so a client that reconnects
    // finds a healthy main unit.
    bool dropOnce = false;
    // > 0: wait this long before replying, to every reply or only to the replies to
    // stallCommand (upper case, "" for all; the greeting counts as "").
    int stallMs = 0;
    std::string stallCommand = {};
    // "DELE <box>/*.vminf" is answered 550, as by a main unit without deletion after download.
    bool wildcardDeleteUnsupported = false;
    // Uploads of system response messages are answered 450.
    bool refuseUploads = false;
};

}  // namespace orven::mainunit
