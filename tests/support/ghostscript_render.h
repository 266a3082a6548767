#pragma once
// Renders PostScript and SVG files with the installed command-line tools
// (Ghostscript, rsvg-convert, ImageMagick) and reads the pictures back.
#include <string>
#include <vector>

namespace nettor::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // 3 bytes per pixel, rows from the top

    bool empty() const { return width <= 0 || height <= 0; }
    // Mean of r, g, b at (x, y); 255 outside the picture.
    int gray(int x, int y) const;
    // Pixels darker than the threshold.
    int darkPixels(int threshold = 128) const;
    // Whether a pixel darker than the threshold lies within radius of (x, y).
    bool darkNear(int x, int y, int radius, int threshold = 128) const;
};

struct RenderResult {
    int exitCode = -1;
    std::string log; // standard output and error of the tool
    Picture picture;
};

bool toolAvailable(const std::string& name);

// Ghostscript at the given resolution (dots per inch), page cropped to the
// bounding box (Ghostscript emits the page of an EPS file itself).
RenderResult renderEps(const std::string& epsPath, int dpi = 72);
// The text that the file shows on its page, as Ghostscript extracts it.
std::string epsShownText(const std::string& epsPath);
// rsvg-convert to PNG, then ImageMagick to a picture.
RenderResult renderSvg(const std::string& svgPath, const std::string& pngPath);

// Binary PPM (P6) reader; an empty picture for anything else.
Picture readPpm(const std::string& path);

} // namespace nettor::test
