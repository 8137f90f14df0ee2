#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace orven::ui {

// The logic below the widgets keeps UTF-8 std::string; the widgets take QString.
inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace orven::ui
