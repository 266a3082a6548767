#include "formats/pages_outputs.h"

#include "formats/pages_eps_canvas.h"
#include "formats/pdf_document.h"
#include "formats/svg_canvas.h"
#include "pattern/pages_drawing.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace nettor {

namespace {

constexpr double kSvgUnitsPerMm = 10.0;

} // namespace

std::string pagesPdf(const PagesLayout& layout, const Settings& settings)
{
    PdfDocument pdf(kPdfUnitsPerCm, layout.paper.width / 10.0, layout.paper.height / 10.0);
    for (int page = 1; page <= layout.pageCount; ++page)
        drawLayoutPage(layout, settings, page, pdf.addPage(), kPdfUnitsPerCm / 10.0);
    std::ostringstream out;
    pdf.write(out);
    return out.str();
}

std::string pagesSvg(const PagesLayout& layout, const Settings& settings, int page)
{
    SvgCanvas svg(layout.paper.width / 10.0, layout.paper.height / 10.0, kSvgUnitsPerMm * 10.0);
    drawLayoutPage(layout, settings, page, svg, kSvgUnitsPerMm, [&](PageLayer l, bool begin) {
        if (!begin) {
            svg.endGroup();
            return;
        }
        // The faces are a plain group: a cutter has nothing to do with them.
        svg.beginGroup(pageLayerId(l), l == PageLayer::Faces ? std::string() : pageLayerLabel(l));
    });
    return svg.document();
}

std::string pagesEps(const PagesLayout& layout, const Settings& settings, int page)
{
    EpsCanvas eps(layout.paper.width, layout.paper.height);
    drawLayoutPage(layout, settings, page, eps, kEpsCanvasUnitsPerMm);
    return eps.document();
}

std::string pageFilePath(const std::string& path, int page)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    return stem + "-" + std::to_string(page) + extension;
}

bool replaceFiles(const std::vector<std::pair<std::string, std::string>>& files, std::string& message)
{
    std::vector<std::string> written;
    auto discard = [&] {
        for (const std::string& t : written) std::remove(t.c_str());
    };
    for (const auto& [path, bytes] : files) {
        std::string temp = path + ".XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0) {
            message = "Cannot write " + path;
            discard();
            return false;
        }
        written.push_back(temp);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::fchmod(fd, 0644);
        const bool ok = done == bytes.size() && ::fsync(fd) == 0;
        if (::close(fd) != 0 || !ok) {
            message = "Cannot write " + path;
            discard();
            return false;
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (std::rename(written[i].c_str(), files[i].first.c_str()) != 0) {
            message = "Cannot write " + files[i].first;
            for (std::size_t j = i; j < written.size(); ++j) std::remove(written[j].c_str());
            return false;
        }
    }
    return true;
}

} // namespace nettor
