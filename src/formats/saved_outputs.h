#pragma once
// The files the user saves from an unfolding: the pattern as EPS, as an
// Enhanced Metafile (drawn for the screen it is saved from, 96 dpi by
// default) and as the PDF
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
// cut-edge file names the model relative to that path when it can; the
// metafile is drawn for a screen of screenDpiX x screenDpiY.
void writeSavedOutput(SavedOutput output, const Model& model, const Settings& settings,
                      const std::string& targetPath, std::ostream& out, double screenDpiX = 96.0,
                      double screenDpiY = 96.0);

} // namespace nettor
