#include "formats/pages_metafile.h"

#include "formats/emf_canvas.h"
#include "pattern/pages_drawing.h"

#include <cmath>

namespace nettor {

std::vector<std::uint8_t> pageMetafile(const PagesLayout& layout, const Settings& settings, int page, double dpiX,
                                       double dpiY)
{
    EmfFrame frame;
    frame.right = static_cast<int>(std::lround(layout.paper.width * 100.0)); // hundredths of a mm
    frame.bottom = static_cast<int>(std::lround(layout.paper.height * 100.0));
    EmfCanvas emf(frame, dpiX, dpiY);
    drawLayoutPage(layout, settings, page, emf, emf.unitsPerCmX() / 10.0);
    return emf.finish();
}

} // namespace nettor
