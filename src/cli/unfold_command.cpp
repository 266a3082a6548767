// nettor-cli unfold MODEL: automatic unfolding of a model file, with a
// summary on standard output and, on request, the whole result as JSON.
#include "cli/command_registry.h"
#include "cli/heap_warmup.h"
#include "cli/pages_options.h"
#include "cli/pattern_exports.h"

#include "formats/pattern_json.h"
#include "model/mesh.h"
#include "session/session.h"
#include "unfold/background_unfolding.h"
#include "unfold/finish_unfolding.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

namespace nettor::cli {

namespace {

struct UnfoldOptions {
    std::string modelPath;
    int strategy = Settings{}.unfoldStrategy;
    bool noOverlapCheck = false;
    std::string jsonPath; // empty: no JSON
    std::string projectPath; // empty: no project file
    std::string settingsText; // the text form of Settings; empty: the defaults
    bool strategyGiven = false;
    bool fewestParts = false;
    double timeLimit = PartSearchSettings{}.timeLimitSeconds;
    std::uint32_t seed = PartSearchSettings{}.seed;
    int rounds = 0; // a round budget for the search instead of the time limit
    PatternExports exports;
    PagesOptions pages;
    bool printTextures = true;
};

// Messages meant for a message box go to standard error; nothing waits.
class StderrListener : public UiListener {
public:
    void message(const std::string& text) override { std::cerr << text << std::endl; }
};

int runUnfold(const UnfoldOptions& options)
{
    PagesSettings pagesSettings;
    if (options.pages.pages()) {
        if (const auto problem = pagesSettingsFromOptions(options.pages, pagesSettings)) {
            std::cerr << *problem << std::endl;
            return 1;
        }
    }
    std::error_code sizeUnknown;
    const std::uintmax_t fileBytes = std::filesystem::file_size(options.modelPath, sizeUnknown);
    const std::jthread warming = warmHeap(sizeUnknown ? 0 : heapWarmupBytes(fileBytes, physicalMemory()));
    Session state;
    StderrListener listener;
    state.listener = &listener; // the cut-edge reader reports while loading
    std::unique_ptr<Model> loaded = loadModelForCli(options.modelPath, &listener);
    if (!loaded) return 1;

    if (!options.settingsText.empty()) state.settings.readText(options.settingsText);
    if (options.strategyGiven || options.settingsText.empty())
        state.settings.unfoldStrategy = options.strategy;
    state.settings.printTextures = options.printTextures ? 1 : 0;
    state.overlapCheck = options.noOverlapCheck ? 0 : 1;
    state.partSearch.enabled = options.fewestParts;
    state.partSearch.timeLimitSeconds = options.timeLimit;
    state.partSearch.seed = options.seed;
    state.partSearch.maxRounds = options.rounds;
    state.replaceModel(std::move(loaded));
    Model& model = *state.model;
    state.takeUpModel();

    // In the Pages layout the one sheet (the summary's figures, the JSON,
    // the outputs beside the pages) is arranged while the pages are laid
    // out: neither reads what the other writes.
    const bool finishedBefore = state.status.finished;
    state.arrangeSheetLater = options.pages.pages();
    const auto start = std::chrono::steady_clock::now();
    if (state.status.totalFaceCount != state.status.unfoldedFaceCount) unfoldOnCallingThread(state, model);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::jthread sheet; // joined at the latest when it goes
    if (state.arrangeSheetLater && !finishedBefore && state.status.finished)
        sheet = std::jthread([&state, &model] { arrangeSheet(state, model); });
    state.arrangeSheetLater = false;

    std::optional<PagesLayout> pages;
    if (options.pages.pages()) {
        PagesResult laidOut = layOutPages({model, state.settings, pagesSettings});
        if (!laidOut.layout) {
            std::cerr << laidOut.message << std::endl;
            return 1;
        }
        pages = std::move(laidOut.layout);
    }
    // The pages' outputs are made while the sheet is being arranged, and
    // written in their turn below.
    const ExportFiles pageFiles = pages ? pagesExportFiles(options.exports, *pages, state.settings) : ExportFiles{};
    if (sheet.joinable()) sheet.join();

    int folds = 0, cuts = 0, borders = 0;
    for (const auto& object : model.objects) {
        for (const Edge* e : object->edges) {
            folds += e->state == EdgeState::Fold;
            cuts += e->state == EdgeState::Cut || e->state == EdgeState::MarkedCut;
            borders += e->state == EdgeState::Border;
        }
    }
    std::cout << "faces: " << model.faceCount << "\n"
              << "parts: " << model.parts.size() << "\n"
              << "fold edges: " << folds << "\n"
              << "cut edges: " << cuts << "\n"
              << "border edges: " << borders << "\n"
              << "sheet width: " << model.sheetWidth << "\n"
              << "sheet height: " << model.sheetHeight << "\n"
              << "pattern scale: " << model.patternScale << "\n"
              << "displayed scale: " << state.displayedScale << "\n"
              << "seconds: " << seconds << "\n";
    if (state.status.searchRounds > 0) std::cout << "search rounds: " << state.status.searchRounds << "\n";
    if (pages) printPagesSummary(std::cout, *pages);

    int exitCode = 0;
    if (!options.jsonPath.empty()) {
        std::ofstream file(options.jsonPath);
        file << unfoldingJson(model, state.displayedScale, pages ? &*pages : nullptr);
        if (!file) {
            std::cerr << "File open ERROR" << std::endl;
            exitCode = 1;
        }
    }
    if (exitCode == 0 && pages) {
        exitCode = writeExportFiles(pageFiles);
        const PatternExports others = exportsBesidePages(options.exports);
        if (exitCode == 0 && others.any())
            exitCode = writePatternExports(others, model, state.settings, state.status.finished);
    } else if (exitCode == 0 && options.exports.any())
        exitCode = writePatternExports(options.exports, model, state.settings, state.status.finished);
    if (exitCode == 0 && !options.projectPath.empty()) {
        state.layoutMode = pages ? LayoutMode::Pages : LayoutMode::OneSheet;
        state.pagesSettings = pagesSettings;
        state.pagesLayout = pages;
        if (!state.saveProject(options.projectPath)) exitCode = 1;
    }
    return exitCode;
}

CommandRegistration registration(20, [](CLI::App& app, int& exitCode) {
    auto* sub = app.add_subcommand("unfold", "Unfold a model automatically and summarise the pattern.");
    auto options = std::make_shared<UnfoldOptions>();
    sub->add_option("MODEL", options->modelPath, "model file (obj, dxf, rok, mqo, 3ds, nte, stl, ply, gltf, ...)")
        ->required();
    sub->add_option("--strategy", options->strategy,
                    "0 flattest edge first, 1 longest edge first, 2 length weighted by flatness")
        ->check(CLI::Range(0, 2))
        ->capture_default_str();
    sub->add_flag("--no-overlap-check", options->noOverlapCheck,
                  "let faces of a part overlap (one part per connected group)");
    auto* fewest = sub->add_flag("--fewest-parts", options->fewestParts,
                                 "search for an unfolding with fewer parts (slower)");
    sub->add_option("--time-limit", options->timeLimit, "seconds the search for fewer parts may take")
        ->check(CLI::Range(0.0, 86400.0))
        ->capture_default_str();
    sub->add_option("--seed", options->seed, "where the search's random choices start")
        ->capture_default_str();
    sub->add_option("--rounds", options->rounds,
                    "run the search for this many rounds instead of the time limit; the rounds a search made "
                    "(printed as 'search rounds') and its seed repeat its result exactly")
        ->check(CLI::Range(1, 1000000000))
        ->needs(fewest);
    sub->add_option("--json", options->jsonPath, "write the whole unfolding as JSON to this file");
    sub->add_option("--project", options->projectPath, "save the whole work as a .nettor project to this file");
    sub->add_option("--settings", options->settingsText,
                    "settings in their stored text form, e.g. 1:1:1:0:8:0:0:1:1:1:0:1:1:0");
    sub->add_option("--eps", options->exports.epsPath, "write the pattern as EPS to this file");
    sub->add_option("--svg", options->exports.svgPath, "write the pattern as SVG to this file");
    sub->add_option("--emf", options->exports.emfPath,
                    "write the pattern as an Enhanced Metafile (96 dpi) to this file");
    sub->add_option("--pdf", options->exports.pdfPath,
                    "write the printed pages (A4, 18 x 26.7 cm of the sheet each) as PDF to this file");
    sub->add_option("--nte", options->exports.ntePath, "write the cut edges to this .nte file");
    sub->add_option("--obj", options->exports.objPath,
                    "write the model as OBJ with the pattern as texture coordinates");
    addPagesOptions(*sub, options->pages);
    addPrintTexturesOption(*sub, options->printTextures);
    sub->callback([&exitCode, options, sub] {
        options->strategyGiven = sub->count("--strategy") > 0;
        options->pages.scaleGiven = sub->count("--scale") > 0;
        exitCode = runUnfold(*options);
    });
});

} // namespace

} // namespace nettor::cli
