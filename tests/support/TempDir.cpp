#include "support/TempDir.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace orven::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orven-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

}  // namespace orven::test
