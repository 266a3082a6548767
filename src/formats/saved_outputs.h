#pragma once
// The files the user saves from an unfolding: the pattern as EPS, as an
// Enhanced Metafile (drawn for the 96 dpi reference screen) and as the PDF
// of the printed pages, the cut-edge file and the model with the pattern as
// texture coordinates. The
// window's save commands and nettor-cli write them through this one path,
// so both give the same bytes.
#include <ostream>
#include <string>

namespace nettor {

struct Model;
struct Settings;

enum class SavedOutput { Eps, CutEdges, ObjExport, Emf, Pdf };

// Writes the contents of the file that is to be saved at `targetPath`; the
// cut-edge file names the model relative to that path when it can.
void writeSavedOutput(SavedOutput output, Model& model, const Settings& settings,
                      const std::string& targetPath, std::ostream& out);

} // namespace nettor
