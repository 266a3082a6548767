#include "formats/project_json_reading.h"

#include <cmath>

namespace nettor {

const ProjectJson& projectMember(const ProjectJson& object, const char* key, const std::string& where)
{
    if (!object.is_object()) throw ProjectError(where + " is not a JSON object.");
    const auto it = object.find(key);
    if (it == object.end()) throw ProjectError(where + " has no \"" + key + "\".");
    return *it;
}

const ProjectJson* optionalMember(const ProjectJson& object, const char* key)
{
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const ProjectJson& projectArray(const ProjectJson& object, const char* key, const std::string& where)
{
    const ProjectJson& value = projectMember(object, key, where);
    if (!value.is_array()) throw ProjectError(where + ": \"" + key + "\" is not a list.");
    return value;
}

double projectNumber(const ProjectJson& value, const std::string& what)
{
    if (!value.is_number()) throw ProjectError(what + " is not a number.");
    const double v = value.get<double>();
    if (!std::isfinite(v)) throw ProjectError(what + " is not a finite number.");
    return v;
}

std::int64_t projectInteger(const ProjectJson& value, const std::string& what, std::int64_t low, std::int64_t high)
{
    std::int64_t v = 0;
    if (value.is_number_unsigned()) {
        const std::uint64_t u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(high))
            throw ProjectError(what + " is out of range (" + std::to_string(u) + ").");
        v = static_cast<std::int64_t>(u);
    } else if (value.is_number_integer()) {
        v = value.get<std::int64_t>();
    } else {
        throw ProjectError(what + " is not a whole number.");
    }
    if (v < low || v > high) throw ProjectError(what + " is out of range (" + std::to_string(v) + ").");
    return v;
}

bool projectBool(const ProjectJson& value, const std::string& what)
{
    if (!value.is_boolean()) throw ProjectError(what + " is not true or false.");
    return value.get<bool>();
}

std::string projectString(const ProjectJson& value, const std::string& what)
{
    if (!value.is_string()) throw ProjectError(what + " is not text.");
    return value.get<std::string>();
}

} // namespace nettor
