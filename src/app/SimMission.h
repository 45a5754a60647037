// A DromEd mission file as the simulated DromEd holds it: the brushes with their own IDs, kinds,
// object IDs and names, and the objects that take part in links without a brush of their own.
#pragma once

#include "simdromed/SimDromEd.h"

#include <filesystem>

namespace kv {

// The path is matched ignoring letter case, as DromEd on Windows does. Raises Exception
// (naming the file) when the file is missing or damaged.
[[nodiscard]] sim::TSimMission ReadSimMission(const std::filesystem::path& file);

// The object's name without the " (ID)" the mission reader puts behind it, because DromEd draws
// the ID itself behind the name.
[[nodiscard]] std::string BareObjectName(const std::string& name, std::int32_t objId);

} // namespace kv
