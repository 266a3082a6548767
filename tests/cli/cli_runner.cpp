#include "cli/cli_runner.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace nettor::test {

namespace {
std::string slurp(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

CliResult runCli(const std::string& arguments)
{
    static int counter = 0;
    const auto dir = std::filesystem::temp_directory_path();
    const std::string tag = std::to_string(::getpid()) + "_" + std::to_string(++counter);
    const auto outPath = dir / ("nettor_cli_out_" + tag);
    const auto errPath = dir / ("nettor_cli_err_" + tag);
    const std::string command = std::string("\"") + NETTOR_CLI + "\" " + arguments + " >\"" +
                                outPath.string() + "\" 2>\"" + errPath.string() + "\"";
    const int raw = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

} // namespace nettor::test
