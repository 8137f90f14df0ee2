#pragma once

namespace orven {

// What a message deletion removes, as the deletion kind dialog closes with it.
enum class DeletionKind { MainUnitOnly = 1, MainUnitAndPc = 1140, PcOnly = 1139, Cancel = 2 };

}  // namespace orven
