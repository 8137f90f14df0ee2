#pragma once

#include <string>

namespace orven {

// The counts line of the status bar for the active list window, in its two forms.
class CountsLine {
  public:
    // From this count on a number is shown as "+++++".
    static constexpr int kShownUpTo = 100000;

    struct Counts {
        int folderTotal = 0;  // messages of every box folder of the window's download folder
        int boxTotal = 0;     // rows of the last box list build
        int listTotal = 0;    // rows shown now
        int notPlayed = 0;    // rows with download state 2
        int played = 0;       // rows with download state 1
    };

    // "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ %s  ﾎﾞｯｸｽﾄｰﾀﾙ %s  一覧表ﾄｰﾀﾙ %s  未再生 %s  再生済 %s"
    static std::string boxList(const Counts& counts);
    // "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ %s  ｼｽﾃﾑ応答ﾒｯｾｰｼﾞﾄｰﾀﾙ 300  一覧表ﾄｰﾀﾙ %s"
    static std::string responseList(const Counts& counts);
    // "%d" below kShownUpTo, else "+++++".
    static std::string number(int value);
};

}  // namespace orven
