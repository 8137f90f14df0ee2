#include "list/CountsLine.h"

namespace orven {

std::string CountsLine::number(int value) {
    return value < kShownUpTo ? std::to_string(value) : std::string("+++++");
}

std::string CountsLine::boxList(const Counts& counts) {
    return "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ " + number(counts.folderTotal) + "  ﾎﾞｯｸｽﾄｰﾀﾙ " +
           number(counts.boxTotal) + "  一覧表ﾄｰﾀﾙ " + number(counts.listTotal) + "  未再生 " +
           number(counts.notPlayed) + "  再生済 " + number(counts.played);
}

std::string CountsLine::responseList(const Counts& counts) {
    return "件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ " + number(counts.folderTotal) +
           "  ｼｽﾃﾑ応答ﾒｯｾｰｼﾞﾄｰﾀﾙ 300  一覧表ﾄｰﾀﾙ " + number(counts.listTotal);
}

}  // namespace orven
