#include "platform/FileOps.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIo.h"

namespace fs = std::filesystem;

namespace orven {

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string mapChars(std::string s, char (*f)(char)) {
    std::transform(s.begin(), s.end(), s.begin(), f);
    return s;
}

// '?' stands for one character, which in a UTF-8 name may be several bytes.
std::size_t nextCodePoint(std::string_view s, std::size_t i) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
        ++i;
    }
    return i;
}

bool wildcardMatch(std::string_view name, std::string_view pat) {
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pat.size() && pat[p] == '?') {
            n = nextCodePoint(name, n);
            ++p;
        } else if (p < pat.size() && asciiLower(pat[p]) == asciiLower(name[n])) {
            ++n;
            ++p;
        } else if (starP != std::string_view::npos) {
            // Let the last '*' swallow one more character and try again from there.
            starN = nextCodePoint(name, starN);
            n = starN;
            p = starP + 1;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == '*') {
        ++p;
    }
    return p == pat.size();
}

bool copyEntry(const fs::path& from, const fs::path& to);

bool copyFolder(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec || !fs::is_directory(to, ec)) {
        return false;
    }
    fs::directory_iterator it(from, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!copyEntry(it->path(), to / it->path().filename())) {
            return false;
        }
    }
    return !ec;
}

bool copyFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        return false;
    }
    // Lists sort and age messages by file time, so a copy must not look new.
    const auto time = fs::last_write_time(from, ec);
    if (!ec) {
        fs::last_write_time(to, time, ec);
    }
    return true;
}

bool copyLink(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(to, ec)) || fs::is_regular_file(to, ec)) {
        fs::remove(to, ec);
    }
    fs::copy_symlink(from, to, ec);
    return !ec;
}

bool copyEntry(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(from, ec);
    switch (st.type()) {
        case fs::file_type::directory:
            return copyFolder(from, to);
        case fs::file_type::regular:
            return copyFile(from, to);
        case fs::file_type::symlink:
            return copyLink(from, to);
        default:  // missing, or a fifo or socket that no store holds
            return false;
    }
}

bool isInside(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec);
    const fs::path b = fs::weakly_canonical(outer, ec);
    return !b.empty() && std::mismatch(b.begin(), b.end(), a.begin(), a.end()).first == b.end();
}

// Flushes the volume holding the copy before the source goes away.
void syncVolume(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::syncfs(fd);
        ::close(fd);
    }
}

std::error_code plainRename(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec;
}

// A link counts as what it points to; an entry that cannot be looked at is no folder.
bool isFolder(DIR* dir, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) {
        return entry.d_type == DT_DIR;
    }
    struct stat status {};
    return ::fstatat(::dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::optional<fs::path> FileOps::findAnyCase(const fs::path& file) {
    std::error_code ec;
    if (fs::exists(file, ec)) {
        return file;
    }
    const std::string ext = file.extension().string();
    if (ext.empty()) {
        return std::nullopt;
    }
    for (auto convert : {asciiLower, asciiUpper}) {
        fs::path candidate = file;
        candidate.replace_extension(mapChars(ext, convert));
        if (candidate != file && fs::exists(candidate, ec)) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool FileOps::matchesPattern(std::string_view name, std::string_view pattern) {
    if (wildcardMatch(name, pattern)) {
        return true;
    }
    // Windows lets "name.*" match a name that has no extension at all.
    return pattern.ends_with(".*") && name.find('.') == std::string_view::npos &&
           wildcardMatch(name, pattern.substr(0, pattern.size() - 2));
}

std::vector<std::string> FileOps::glob(const fs::path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeEc;
        std::string name = it->path().filename().string();
        if (it->is_regular_file(typeEc) && matchesPattern(name, pattern)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool FileOps::copyRecursive(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (isInside(to, from)) {
        return false;
    }
    const bool targetExisted = fs::exists(fs::symlink_status(to, ec));
    if (copyEntry(from, to)) {
        return true;
    }
    if (!targetExisted) {
        fs::remove_all(to, ec);
    }
    return false;
}

bool FileOps::moveRecursive(const fs::path& from, const fs::path& to) {
    return moveRecursive(from, to, plainRename);
}

bool FileOps::moveRecursive(const fs::path& from, const fs::path& to, const RenameStep& rename) {
    const std::error_code ec = rename(from, to);
    if (!ec) {
        return true;
    }
    if (ec != std::errc::cross_device_link || !copyRecursive(from, to)) {
        return false;
    }
    syncVolume(to);
    return removeRecursive(from);
}

bool FileOps::removeRecursive(const fs::path& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
    return !ec;
}

bool FileOps::flushFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::fsync(fd) == 0;
    return ::close(fd) == 0 && flushed;
}

bool FileOps::flushFolder(const fs::path& folder) {
    return FileIo::flushFolder(folder);
}

bool FileOps::replaceFileAtomically(const fs::path& file, std::string_view bytes,
                                    unsigned newFileMode) {
    return FileIo::replaceAtomically(file, bytes, newFileMode);
}

bool FileOps::listFileNames(const std::filesystem::path& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return errno == ENOENT;
    }
    bool listed = true;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            listed = errno == 0;
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != ".." && !isFolder(dir, *entry)) {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    return listed;
}

std::vector<fs::path> FileOps::subfolders(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            found.push_back(it->path());
        }
    }
    return found;
}

}  // namespace orven
