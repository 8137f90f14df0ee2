#pragma once

#include <string>

namespace orven {

// The texts of the dialog bar's two read-only lines: the folder that is open and the boxes
// the chosen list window shows. UTF-8 in and out.
class NameLineText {
  public:
    // " " + box list, ":" as "：", "?" as ","; the extension boxes start on a line of their
    // own, so the separator before them gives way to a line break. Empty for an empty list.
    static std::string boxLine(const std::string& boxList);

    // " " + data folder + "/" (when missing) + folder name, ":" as "："; empty when the
    // folder name is empty. trimSlash drops a trailing "/" (the form used at start-up).
    static std::string folderLine(const std::string& dataFolder, const std::string& folderName,
                                  bool trimSlash = false);

    // The folder name back from the line: "：" as ":", leading blanks gone, after the last "/".
    static std::string folderNameOf(const std::string& line);
};

}  // namespace orven
