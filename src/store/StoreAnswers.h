#pragma once

namespace orven::store {

// What the store's operations answer when they tell done or not, yes or no: 1 and 0, the
// numbers their callers compare with.
inline constexpr int kDone = 1;
inline constexpr int kFailed = 0;
inline constexpr int kYes = 1;
inline constexpr int kNo = 0;

}  // namespace orven::store
