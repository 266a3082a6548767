// nettor-cli: the Nettor engine from the command line.
#include "cli/command_registry.h"

#include "formats/load_model.h"

#include <algorithm>
#include <iostream>
#include <vector>

namespace nettor::cli {

namespace {
struct Registered {
    int order;
    CommandSetup setup;
};
std::vector<Registered>& registry()
{
    static std::vector<Registered> commands;
    return commands;
}
} // namespace

CommandRegistration::CommandRegistration(int order, CommandSetup setup)
{
    registry().push_back({order, std::move(setup)});
}

std::unique_ptr<Model> loadModelForCli(const std::string& path, UiListener* reporter)
{
    LoadedModel loaded = loadModelFile(path, reporter);
    if (loaded.result != LoadResult::Loaded) {
        std::cerr << loadResultMessage(loaded.result) << std::endl;
        return nullptr;
    }
    return std::move(loaded.model);
}

} // namespace nettor::cli

int main(int argc, char** argv)
{
    using namespace nettor::cli;
    CLI::App app{"Nettor turns a 3D polygon model into a paper-craft pattern.", "nettor-cli"};
    app.set_version_flag("--version", std::string("nettor-cli ") + NETTOR_VERSION);
    app.require_subcommand(1);

    auto& commands = registry();
    std::stable_sort(commands.begin(), commands.end(),
                     [](const Registered& a, const Registered& b) { return a.order < b.order; });
    int exitCode = 1;
    for (auto& command : commands) command.setup(app, exitCode);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    return exitCode;
}
