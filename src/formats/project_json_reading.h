#pragma once
// Checked access to the parsed JSON of a project: every value is looked up,
// type-checked and range-checked, and anything wrong throws a ProjectError
// whose text says what and where.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace nettor {

struct ProjectError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using ProjectJson = nlohmann::json;

const ProjectJson& projectMember(const ProjectJson& object, const char* key, const std::string& where);
const ProjectJson* optionalMember(const ProjectJson& object, const char* key);
const ProjectJson& projectArray(const ProjectJson& object, const char* key, const std::string& where);
double projectNumber(const ProjectJson& value, const std::string& what);
std::int64_t projectInteger(const ProjectJson& value, const std::string& what, std::int64_t low, std::int64_t high);
bool projectBool(const ProjectJson& value, const std::string& what);
std::string projectString(const ProjectJson& value, const std::string& what);

} // namespace nettor
