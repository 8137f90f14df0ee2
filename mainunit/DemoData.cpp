#include "mainunit/DemoData.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "mainunit/DemoSamples.h"
#include "platform/CodePage.h"
#include "platform/FileOps.h"
#include "store/HeaderBlock.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

using Flags = std::uint8_t;
constexpr Flags kUnplayed = 0;
constexpr Flags kPlayed = HeaderBlock::kFlagPlayed;
constexpr Flags kProtected = HeaderBlock::kFlagProtected;

constexpr int kHighestBoxNumber = 99999;  // five digits in the stem

// Who left a message, as caller identification gave it to the main unit.
struct Caller {
    std::string_view name;    // UTF-8 here, CP932 in the header block
    std::string_view number;  // an extension calls with its own number
    std::string_view sample;  // the built-in clip that plays
};

constexpr Caller kYamada{"山田商事", "0312345678", "ja-callback"};
constexpr Caller kMidori{"ｶﾌﾞｼｷｶﾞｲｼｬ ﾐﾄﾞﾘ", "0452223333", "ja-delivery"};
constexpr Caller kSato{"佐藤 花子", "09012345678", "ja-meeting"};
constexpr Caller kSatoInside{"佐藤 花子", "305", "ja-meeting"};
constexpr Caller kPacific{"PACIFIC TRADING", "0120987654", "en-callback"};
constexpr Caller kTokyo{"株式会社 東京ｻｰﾋﾞｽ", "0367891234", "ja-delivery"};
constexpr Caller kSuzuki{"鈴木 一郎", "201", "ja-meeting"};
constexpr Caller kTakahashi{"高橋 健", "200", "ja-callback"};
constexpr Caller kWithheld{"", "", "busy-tone"};  // hung up at the tone
constexpr Caller kNumberOnly{"", "0661234567", "busy-tone"};

// Callers of the messages added while the stand-in runs, taken in turn.
constexpr Caller kNewCallers[] = {kYamada, kMidori, kSato, kPacific, kTokyo};

struct SeedMessage {
    std::string_view kind;  // answering-machine or extension boxes
    std::string_view box;
    int daysAgo, hour, minute;
    Caller caller;
    Flags flags;
};

constexpr std::string_view kRusu = StoreNames::kAnswering;
constexpr std::string_view kNaisen = StoreNames::kExtension;

// Oldest first, so that message numbers grow with time in every box, as on a main unit.
constexpr SeedMessage kSeed[] = {
    {kRusu, "0101", 150, 9, 12, kYamada, kPlayed},
    {kRusu, "0102", 140, 11, 20, kPacific, kPlayed},
    {kRusu, "0101", 120, 14, 40, kMidori, kPlayed | kProtected},
    {kRusu, "0103", 100, 22, 10, kMidori, kPlayed},
    {kNaisen, "200", 90, 9, 0, kSuzuki, kPlayed},
    {kRusu, "0102", 75, 17, 55, kTokyo, kProtected},
    {kRusu, "0101", 61, 10, 5, kWithheld, kPlayed},
    {kNaisen, "201", 45, 10, 30, kPacific, kPlayed},
    {kNaisen, "200", 33, 15, 15, kYamada, kProtected},
    {kNaisen, "305", 25, 18, 20, kMidori, kPlayed | kProtected},
    {kRusu, "0102", 20, 13, 2, kSato, kPlayed},
    {kRusu, "0101", 12, 16, 48, kSato, kUnplayed},
    {kNaisen, "201", 7, 12, 0, kTakahashi, kUnplayed},
    {kRusu, "0102", 5, 19, 45, kNumberOnly, kUnplayed},
    {kNaisen, "200", 3, 11, 11, kSatoInside, kUnplayed},
    {kRusu, "0101", 2, 8, 31, kYamada, kUnplayed},
    {kRusu, "0103", 1, 23, 58, kWithheld, kUnplayed},
};

struct SeedResponse {
    int number;
    int daysAgo, hour, minute;
    std::string_view sample;
};

constexpr SeedResponse kResponses[] = {
    {1, 160, 10, 0, "ja-greeting"},
    {2, 160, 10, 5, "ja-closed"},
    {7, 40, 17, 30, "busy-tone"},
};

std::string_view sampleAac(std::string_view name) {
    const auto all = DemoSamples::all();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [name](const DemoSamples::Sample& s) { return s.name == name; });
    return (it == all.end() ? all.front() : *it).aac;
}

// Playing time in tenths of a second: 1024 samples a frame at 8000 Hz, truncated. Frames
// are walked by their length fields, which audio bytes cannot mimic.
std::uint32_t lengthTenths(std::string_view aac) {
    std::uint32_t frames = 0;
    std::size_t at = 0;
    while (at + 7 <= aac.size()) {
        const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(aac[at + i]); };
        const std::size_t length = ((byte(3) & 0x03u) << 11) | (byte(4) << 3) | (byte(5) >> 5);
        if (length < 7) {
            break;
        }
        at += length;
        ++frames;
    }
    return frames * 128 / 100;
}

LocalTime daysBefore(const LocalTime& now, int days, int hour, int minute) {
    return LocalTime::make(now.year, now.month, now.day - days, hour, minute);
}

// "YYYYMMDDhhmm_WWW", the part every stem starts with.
std::string stemDate(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d_", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text + StoreNames::weekdayUpper(t);
}

// The stem's box field is four characters wide; extension numbers are often shorter.
std::string boxField(std::string box) {
    if (box.size() < 4) {
        box.insert(0, 4 - box.size(), '0');
    }
    return box.substr(0, 4);
}

// One more than the highest number in the box, so numbers stay unique in it.
int nextNumber(const fs::path& box) {
    int highest = 0;
    for (const std::string& name : FileOps::glob(box, "*.vminf")) {
        if (name.size() == StoreNames::kBoxNameLength) {
            highest = std::max(highest, std::atoi(name.substr(22, 5).c_str()));
        }
    }
    return highest + 1;
}

HeaderBlock commonHeader(const std::string& stem, const LocalTime& when, std::string_view aac) {
    HeaderBlock block;
    block.setFileName(stem + ".vmdat");
    block.setSignature();
    block.setDate(when);
    block.setLengthTenths(lengthTenths(aac));
    return block;
}

// The download lists the ".vmdat" files, so that one is written last: whatever it finds
// is complete, also while messages are being added.
bool writeMessage(const fs::path& folder, const std::string& stem, const HeaderBlock& block,
                  std::string_view aac) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string data = block.str() +
                             HeaderBlock::bigEndian32(static_cast<std::uint32_t>(aac.size())) +
                             std::string(aac);
    return !ec && FileOps::replaceFileAtomically(folder / (stem + ".vminf"), block.bytes()) &&
           FileOps::replaceFileAtomically(folder / (stem + ".vmdat"), data);
}

bool writeBoxMessage(const fs::path& box, const LocalTime& when, const Caller& caller,
                     Flags flags) {
    const int number = nextNumber(box);
    if (number > kHighestBoxNumber) {
        return false;
    }
    const std::string field = boxField(box.filename().string());
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", number);
    const std::string stem = stemDate(when) + "_" + field + "_" + digits;
    const std::string_view aac = sampleAac(caller.sample);
    HeaderBlock block = commonHeader(stem, when, aac);
    block.setField(HeaderBlock::kCallerNameAt, HeaderBlock::kCallerNameSize,
                   CodePage::utf8ToCp932(caller.name));
    block.setField(HeaderBlock::kCallerNumberAt, HeaderBlock::kCallerNumberSize, caller.number);
    block.setFlags(flags);
    block.setField(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize, field);
    return writeMessage(box, stem, block, aac);
}

bool writeResponse(const fs::path& outou, const LocalTime& when, const SeedResponse& response) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d", response.number);
    const std::string stem = stemDate(when) + "_A" + number + "_0001";
    const std::string_view aac = sampleAac(response.sample);
    HeaderBlock block = commonHeader(stem, when, aac);
    block.setResponseNumber(static_cast<std::uint16_t>(response.number));
    block.setField(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize, number);
    return writeMessage(outou, stem, block, aac);
}

// A missing root is made; an existing one must be an empty folder.
bool prepareEmptyRoot(const fs::path& root) {
    std::error_code ec;
    if (!fs::exists(root, ec)) {
        return fs::create_directories(root, ec);
    }
    return fs::is_directory(root, ec) && fs::is_empty(root, ec) && !ec;
}

}  // namespace

int DemoData::seed(const fs::path& root, const LocalTime& now) {
    if (!prepareEmptyRoot(root)) {
        return -1;
    }
    int made = 0;
    for (const SeedMessage& m : kSeed) {
        const fs::path box = root / m.kind / m.box;
        if (!writeBoxMessage(box, daysBefore(now, m.daysAgo, m.hour, m.minute), m.caller,
                             m.flags)) {
            return -1;
        }
        ++made;
    }
    for (const SeedResponse& r : kResponses) {
        const LocalTime when = daysBefore(now, r.daysAgo, r.hour, r.minute);
        if (!writeResponse(root / StoreNames::kResponse, when, r)) {
            return -1;
        }
        ++made;
    }
    return made;
}

bool DemoData::addMessage(const fs::path& root, const LocalTime& now) {
    std::vector<fs::path> boxes = StoreNames::boxFolders(root);
    if (boxes.empty()) {
        return false;
    }
    std::sort(boxes.begin(), boxes.end());
    std::size_t stored = 0;
    for (const fs::path& box : boxes) {
        stored += FileOps::glob(box, "*.vminf").size();
    }
    const Caller& caller = kNewCallers[stored % std::size(kNewCallers)];
    const LocalTime when = LocalTime::make(now.year, now.month, now.day, now.hour, now.minute);
    return writeBoxMessage(boxes[stored % boxes.size()], when, caller, kUnplayed);
}

}  // namespace orven
