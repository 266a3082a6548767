#pragma once
// Runs the real nettor-cli and captures what it prints.
#include <string>

namespace nettor::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs nettor-cli with the arguments (already quoted for the shell).
CliResult runCli(const std::string& arguments);

} // namespace nettor::test
