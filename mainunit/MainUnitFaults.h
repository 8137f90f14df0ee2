#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orven::mainunit {

// Misbehaviour a test can switch on to drive the client's failure paths. The defaults are a
// healthy main unit. Faults can be changed while the server runs; each command and each
// transfer reads them afresh.
struct MainUnitFaults {
    // The byte counts below: no cut.
    static constexpr std::int64_t kNoDrop = -1;
    // The client keeps at most this many bytes of a listing; oversizeListing sends more.
    static constexpr std::size_t kClientListingLimit = 10240000;

    // PASS is answered 530 whatever the password.
    bool refuseLogIn = false;
    // > 0: the control connection is closed, without a word, once this many commands of the
    // session have been answered.
    int dropControlAfterCommands = 0;
    // >= 0: every data connection is cut after this many bytes (either direction); the
    // transfer is answered 426 and a cut upload is not stored.
    std::int64_t dropDataAfterBytes = kNoDrop;
    // >= 0: the data connection of a listing (NLST in any form, LIST) is closed after this
    // many bytes and the transfer is answered 426 instead of 226. A listing no longer than
    // that goes out whole with 226, and the fault has not fired.
    std::int64_t cutListingAfterBytes = kNoDrop;
    // The same cut after half the listing's bytes (rounded down); wins over the count above.
    bool cutListingInHalf = false;
    // Blank lines ("\r\n", with one "\n" first when the count is odd) go before a listing's
    // own lines, so many that its last line starts exactly at byte kClientListingLimit: a
    // client that keeps only that many bytes gets whole lines and misses the last one. The
    // transfer ends with 226. A listing whose lines before the last are already longer goes
    // out as it is; a listing answered 550 (no file) has no data to pad.
    bool oversizeListing = false;
    // Before each data connection (listing, RETR, STOR) a stranger connects to the PORT
    // address from strangerAddress, sends strangerBytes and closes; only then the real data
    // connection is made, from the usual address. When the stranger cannot connect the
    // transfer goes on without it, and the fault has not fired.
    bool strangerOnDataPort = false;
    std::string strangerAddress = "127.0.0.2";
    std::string strangerBytes = {};
    // The faults above from dropControlAfterCommands on fire once and then switch themselves
    // off (to 0, kNoDrop or false), so a client that tries again finds a healthy main unit.
    // The drops and the listing cut fire when they cut; the oversize listing once its data
    // connection is open, however the transfer then ends; the stranger once it has connected.
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
