#include "mainunit/ServedTree.h"

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace orven::mainunit {
namespace {

std::vector<std::string> split(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            parts.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

bool isWithin(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f) {
            return false;
        }
    }
    return true;
}

}  // namespace

ServedTree::ServedTree(const fs::path& root) {
    std::error_code ec;
    m_root = fs::canonical(root, ec);
    if (ec) {
        m_root = fs::absolute(root, ec).lexically_normal();
    }
}

std::optional<std::string> ServedTree::resolve(std::string_view cwd, std::string_view arg,
                                               bool allowDotDot) {
    std::vector<std::string> parts = arg.starts_with('/') ? std::vector<std::string>{} : split(cwd);
    for (const std::string& part : split(arg)) {
        if (part == ".") {
            continue;
        }
        if (part == ".." && allowDotDot) {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        if (part.starts_with('.') || part.find('\\') != std::string::npos) {
            return std::nullopt;
        }
        parts.push_back(part);
    }
    std::string result;
    for (const std::string& part : parts) {
        result += "/" + part;
    }
    return result.empty() ? "/" : result;
}

std::optional<fs::path> ServedTree::real(std::string_view virtualPath) const {
    const fs::path path = m_root / fs::path(virtualPath).relative_path();
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec || !isWithin(resolved, m_root)) {
        return std::nullopt;
    }
    return path;
}

std::string ServedTree::parentOf(std::string_view virtualPath) {
    const auto slash = virtualPath.rfind('/');
    if (slash == std::string_view::npos || slash == 0) {
        return "/";
    }
    return std::string(virtualPath.substr(0, slash));
}

std::string ServedTree::nameOf(std::string_view virtualPath) {
    const auto slash = virtualPath.rfind('/');
    return std::string(slash == std::string_view::npos ? virtualPath
                                                       : virtualPath.substr(slash + 1));
}

std::string ServedTree::join(std::string_view virtualFolder, std::string_view name) {
    std::string result(virtualFolder);
    if (!result.ends_with('/')) {
        result += '/';
    }
    return result + std::string(name);
}

}  // namespace orven::mainunit
