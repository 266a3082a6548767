#include "formats/pattern_metafile.h"

#include "pattern/draw_pattern.h"
#include "pattern/sheet_coordinates.h"

namespace nettor {

EmfFrame metafileFrame(const Model& model)
{
    const double margins = 2 * kSheetMarginCm;
    EmfFrame frame;
    frame.right = toDeviceUnits((model.sheetWidth * model.patternScale + margins) * 1000);
    frame.bottom = toDeviceUnits((model.sheetHeight * model.patternScale + margins) * 1000);
    return frame;
}

std::vector<std::uint8_t> patternMetafile(const Model& model, const Settings& settings,
                                          OutputTarget target, double dpiX, double dpiY)
{
    EmfCanvas emf(metafileFrame(model), dpiX, dpiY);
    drawPattern(model, settings, emf, emf.unitsPerCmX(), emf.unitsPerCmY(), target, 0, 0);
    return emf.finish();
}

void writeEmf(const Model& model, const Settings& settings, std::ostream& out, double dpiX, double dpiY)
{
    const auto bytes = patternMetafile(model, settings, OutputTarget::MetafileFile, dpiX, dpiY);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace nettor
