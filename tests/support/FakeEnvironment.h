#pragma once

#include <map>
#include <string>

#include "platform/UserFolders.h"

namespace orven::test {

// A made-up process environment, so tests see only the variables they set.
class FakeEnvironment {
  public:
    void set(const std::string& name, const std::string& value) { m_vars[name] = value; }

    // Reads this object; it must outlive what it is given to.
    UserFolders::Getenv getenv() const {
        return [this](const char* name) -> const char* {
            const auto it = m_vars.find(name);
            return it == m_vars.end() ? nullptr : it->second.c_str();
        };
    }

  private:
    std::map<std::string, std::string> m_vars;
};

}  // namespace orven::test
