#pragma once
// The finished pattern as an Enhanced Metafile, for the clipboard and for
// .emf files: the sheet with its 1.5 cm margins, drawn at the resolution of
// the reference screen.
#include "formats/emf_canvas.h"
#include "model/mesh.h"
#include "pattern/output_target.h"
#include "state/settings.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace nettor {

// (0, 0) to the sheet's extent plus 3 cm, in hundredths of a millimetre,
// each truncated.
EmfFrame metafileFrame(const Model& model);

// drawPattern on a metafile of the frame for a screen of dpiX x dpiY, with
// the target given (Clipboard or MetafileFile) and origin (0, 0).
std::vector<std::uint8_t> patternMetafile(const Model& model, const Settings& settings,
                                          OutputTarget target, double dpiX = 96.0,
                                          double dpiY = 96.0);

// The metafile file of the pattern, drawn for a screen of dpiX x dpiY.
void writeEmf(const Model& model, const Settings& settings, std::ostream& out, double dpiX = 96.0,
              double dpiY = 96.0);

} // namespace nettor
