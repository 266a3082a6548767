#include "formats/saved_outputs.h"

#include "formats/cut_edge_file.h"
#include "formats/eps_writer.h"
#include "formats/obj_export.h"
#include "formats/pattern_metafile.h"
#include "formats/pattern_pdf.h"
#include "formats/relative_model_path.h"
#include "model/mesh.h"
#include "state/settings.h"

namespace nettor {

void writeSavedOutput(SavedOutput output, const Model& model, const Settings& settings,
                      const std::string& targetPath, std::ostream& out, double screenDpiX,
                      double screenDpiY)
{
    switch (output) {
    case SavedOutput::Eps:
        writeEps(model, settings, out);
        break;
    case SavedOutput::CutEdges:
        writeCutEdgeFile(model, out, relativeModelPath(targetPath, model.filePath));
        break;
    case SavedOutput::ObjExport:
        writeObjExport(model, out);
        break;
    case SavedOutput::Emf:
        writeEmf(model, settings, out, screenDpiX, screenDpiY);
        break;
    case SavedOutput::Pdf:
        writePatternPdf(model, settings, out);
        break;
    }
}

} // namespace nettor
