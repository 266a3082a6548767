#include "cli/pattern_exports.h"

#include "model/mesh.h"
#include "formats/saved_outputs.h"
#include "formats/eps_writer.h"
#include "formats/pattern_svg.h"
#include "state/settings.h"

#include <fstream>
#include <functional>
#include <iostream>

namespace nettor::cli {

namespace {

bool writeFile(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        std::cerr << "File open ERROR" << std::endl;
        return false;
    }
    write(file);
    file.flush();
    if (!file) {
        std::cerr << "File write ERROR" << std::endl;
        return false;
    }
    return true;
}

} // namespace

int writePatternExports(const PatternExports& exports, Model& model, const Settings& settings,
                        bool finished)
{
    bool ok = true;
    if (!exports.ntePath.empty()) {
        ok &= writeFile(exports.ntePath, [&](std::ostream& out) {
            writeSavedOutput(SavedOutput::CutEdges, model, settings, exports.ntePath, out);
        });
    }
    const bool patternAsked = !exports.epsPath.empty() || !exports.svgPath.empty() ||
                              !exports.objPath.empty() || !exports.emfPath.empty() ||
                              !exports.pdfPath.empty();
    if (patternAsked && !finished) {
        std::cerr << "There is no unfolded patterns." << std::endl;
        return 1;
    }
    if (!exports.epsPath.empty())
        ok &= writeFile(exports.epsPath, [&](std::ostream& out) {
            writeSavedOutput(SavedOutput::Eps, model, settings, exports.epsPath, out);
        });
    if (!exports.svgPath.empty()) {
        ok &= writeFile(exports.svgPath, [&](std::ostream& out) {
            out << patternSvg(model, settings, OutputTarget::MetafileFile);
        });
    }
    if (!exports.emfPath.empty())
        ok &= writeFile(exports.emfPath, [&](std::ostream& out) {
            writeSavedOutput(SavedOutput::Emf, model, settings, exports.emfPath, out);
        });
    if (!exports.pdfPath.empty())
        ok &= writeFile(exports.pdfPath, [&](std::ostream& out) {
            writeSavedOutput(SavedOutput::Pdf, model, settings, exports.pdfPath, out);
        });
    if (!exports.objPath.empty())
        ok &= writeFile(exports.objPath, [&](std::ostream& out) {
            writeSavedOutput(SavedOutput::ObjExport, model, settings, exports.objPath, out);
        });
    return ok ? 0 : 1;
}

} // namespace nettor::cli
