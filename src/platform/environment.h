// Environment variables of the process (the temporary folder comes from "TEMP").
#pragma once

#include <optional>
#include <string>

namespace platform {

// The variable's value; nothing when it is not set.
std::optional<std::string> EnvironmentValue(const std::string& name);

// Sets the variable, or removes it when the value is nullopt.
[[nodiscard]] bool SetEnvironmentValue(const std::string& name,
                                       const std::optional<std::string>& value);

} // namespace platform
