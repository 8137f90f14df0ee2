#include "list/CommandState.h"

#include <algorithm>

namespace orven {
namespace {

bool hasVoice(const std::string& path) {
    return path.find(".aac") != std::string::npos;
}

}  // namespace

OperationFlags CommandState::UpdateCommandState(const Selection& selection) {
    const auto& paths = selection.selectedPaths;
    const bool one = paths.size() == 1;
    const bool anyVoice = std::any_of(paths.begin(), paths.end(), hasVoice);
    const bool boxList = !selection.responseList;
    OperationFlags flags;
    flags.saveToFolder = anyVoice;
    flags.play = one && hasVoice(paths.front());
    flags.moveCopy = anyVoice && boxList;
    if (one) {
        flags.remove = hasVoice(paths.front()) || boxList;
    } else if (!paths.empty()) {
        flags.remove = boxList || selection.selectedResponseHoldsMessage;
    }
    flags.add = one && selection.responseList;
    flags.upload = anyVoice && selection.responseList;
    flags.voiceDownload = selection.anyNotDownloaded;
    return flags;
}

}  // namespace orven
