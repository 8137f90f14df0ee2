#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace orven::ui {

// The logic below the widgets keeps UTF-8 std::string; the widgets take QString.
inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A title bar shows a single line: line breaks at either end of a text are left out (a
// title that began with one would show nothing).
inline QString titleText(std::string_view utf8) {
    QString text = qs(utf8);
    const auto lineBreak = [](QChar c) { return c == u'\n' || c == u'\r'; };
    while (!text.isEmpty() && lineBreak(text.front())) {
        text.remove(0, 1);
    }
    while (!text.isEmpty() && lineBreak(text.back())) {
        text.chop(1);
    }
    return text;
}

inline std::string utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace orven::ui
