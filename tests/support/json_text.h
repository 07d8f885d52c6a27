// JSON written by the test peers and helper scripts, read with nlohmann::json.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace testsupport {

// The member's text; empty when the member is absent, null or not a string.
inline std::string JsonText(const nlohmann::json& object, const char* key) {
    const auto member = object.find(key);
    return member != object.end() && member->is_string() ? member->get<std::string>()
                                                         : std::string();
}

} // namespace testsupport
