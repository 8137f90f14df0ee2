#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orven {

// What a list window shows, and its text form as the window's slot (and the settings file)
// keeps it: either the system response messages ("ｼｽﾃﾑ応答ﾒｯｾｰｼﾞ") or box folders of the
// window's download folder, in groups:
//   "留守録BOX：0100,0101,  内線BOX：2001"
// Each name is followed by "," (the very last one dropped); a "," inside a name is stored as
// "?". The extension group starts with "内線BOX：" when it comes first.
struct BoxListText {
    std::vector<std::string> answering;  // box folder names under "rusuroku", in order
    std::vector<std::string> extension;  // box folder names under "naisen", in order
    bool responses = false;              // the system response messages instead of boxes

    // The text form; empty when neither responses nor any box is chosen.
    std::string build() const;

    // Reads any text form: groups split at ":" or "："; a label containing "内線" is an
    // extension group, any other an answering-machine group; a group's names run to the
    // blanks before the next label or to the end; "?" is read as ",". Empty names are skipped.
    static BoxListText parse(std::string_view text);

    // The text form of the system response messages.
    static bool isResponseList(std::string_view text);

    bool operator==(const BoxListText&) const = default;
};

}  // namespace orven
