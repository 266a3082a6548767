#pragma once
// Subcommands of nettor-cli register themselves here, each from its own file:
//
//   static CommandRegistration reg(10, [](CLI::App& app, int& exitCode) {
//       auto* sub = app.add_subcommand("name", "what it does");
//       ... options ...
//       sub->callback([&exitCode, ...] { exitCode = run(...); });
//   });
#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>

namespace nettor {
struct Model;
class UiListener;
}

namespace nettor::cli {

using CommandSetup = std::function<void(CLI::App& app, int& exitCode)>;

struct CommandRegistration {
    CommandRegistration(int order, CommandSetup setup);
};

// Loads a model file through the same dispatch as the Open command. On
// failure the message the GUI would show goes to standard error and null is
// returned; what the cut-edge reader has to say goes to the reporter.
std::unique_ptr<Model> loadModelForCli(const std::string& path, UiListener* reporter = nullptr);

} // namespace nettor::cli
