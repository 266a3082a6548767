#include "formats/pattern_pdf.h"

#include "formats/pdf_document.h"
#include "pattern/page_grid.h"
#include "pattern/print_page.h"

namespace nettor {

void writePatternPdf(const Model& model, const Settings& settings, std::ostream& out)
{
    PdfDocument pdf;
    const int pages = pageGrid(model).pages();
    for (int page = 1; page <= pages; ++page)
        drawPrintPage(model, settings, pdf.addPage(), kPdfUnitsPerCm, kPdfUnitsPerCm, page);
    pdf.write(out);
}

} // namespace nettor
