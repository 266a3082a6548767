#pragma once
// The output files nettor-cli unfold writes from a finished unfolding: EPS,
// SVG, EMF, PDF, the cut-edge file and the OBJ export.
#include <string>

namespace nettor {
struct Model;
struct Settings;
}

namespace nettor::cli {

struct PatternExports {
    std::string epsPath;
    std::string svgPath;
    std::string ntePath;
    std::string objPath;
    std::string emfPath;
    std::string pdfPath;

    bool any() const
    {
        return !epsPath.empty() || !svgPath.empty() || !ntePath.empty() || !objPath.empty() ||
               !emfPath.empty() || !pdfPath.empty();
    }
};

// Writes each requested file. A file that cannot be created gives
// "File open ERROR" on standard error; the pattern files need a finished
// unfolding ("There is no unfolded patterns."). Returns 0 when every file
// was written, else 1.
int writePatternExports(const PatternExports& exports, Model& model, const Settings& settings,
                        bool finished);

} // namespace nettor::cli
