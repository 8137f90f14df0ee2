#pragma once

#include "app/BackupHooks.h"

namespace orven::ui {
using orven::BackupHooks;
}  // namespace orven::ui
