#include "support/ghostscript_render.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nettor::test {

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

int run(const std::string& command, const std::string& logPath)
{
    const int status = std::system((command + " >" + quoted(logPath) + " 2>&1").c_str());
    return status == -1 ? -1 : WEXITSTATUS(status);
}

} // namespace

int Picture::gray(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 255;
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return (rgb[i] + rgb[i + 1] + rgb[i + 2]) / 3;
}

int Picture::darkPixels(int threshold) const
{
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) n += gray(x, y) < threshold;
    return n;
}

bool Picture::darkNear(int x, int y, int radius, int threshold) const
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (gray(x + dx, y + dy) < threshold) return true;
    return false;
}

bool toolAvailable(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

Picture readPpm(const std::string& path)
{
    const std::string data = slurp(path);
    Picture p;
    // Header: "P6", width, height, maximum value, separated by white space
    // and "#" comments, then one white-space byte before the pixels.
    std::size_t at = 0;
    auto token = [&]() {
        for (;;) {
            while (at < data.size() && std::isspace(static_cast<unsigned char>(data[at]))) ++at;
            if (at < data.size() && data[at] == '#') {
                while (at < data.size() && data[at] != '\n') ++at;
                continue;
            }
            break;
        }
        const std::size_t start = at;
        while (at < data.size() && !std::isspace(static_cast<unsigned char>(data[at]))) ++at;
        return data.substr(start, at - start);
    };
    const std::string magic = token();
    const int w = std::atoi(token().c_str()), h = std::atoi(token().c_str());
    const int maxValue = std::atoi(token().c_str());
    if (magic != "P6" || w <= 0 || h <= 0 || maxValue != 255 || w > 20000 || h > 20000) return p;
    const std::size_t size = static_cast<std::size_t>(w) * h * 3;
    const std::size_t offset = at + 1;
    if (data.size() < offset + size) return p;
    p.width = w;
    p.height = h;
    p.rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(offset),
                 data.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return p;
}

RenderResult renderEps(const std::string& epsPath, int dpi)
{
    RenderResult r;
    const std::string ppm = epsPath + ".ppm", log = epsPath + ".gs.log";
    r.exitCode = run("gs -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=ppmraw -r" +
                         std::to_string(dpi) + " -sOutputFile=" + quoted(ppm) + " " +
                         quoted(epsPath),
                     log);
    r.log = slurp(log);
    r.picture = readPpm(ppm);
    return r;
}

std::string epsShownText(const std::string& epsPath)
{
    const std::string txt = epsPath + ".txt", log = epsPath + ".txtwrite.log";
    run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=txtwrite -sOutputFile=" + quoted(txt) +
            " " + quoted(epsPath),
        log);
    return slurp(txt);
}

RenderResult renderSvg(const std::string& svgPath, const std::string& pngPath)
{
    RenderResult r;
    const std::string log = svgPath + ".rsvg.log", ppm = pngPath + ".ppm";
    r.exitCode = run("rsvg-convert -f png -o " + quoted(pngPath) + " " + quoted(svgPath), log);
    r.log = slurp(log);
    if (r.exitCode == 0) {
        r.exitCode = run("convert " + quoted(pngPath) + " -background white -flatten " + quoted(ppm), log);
        r.log += slurp(log);
        r.picture = readPpm(ppm);
    }
    return r;
}

} // namespace nettor::test
