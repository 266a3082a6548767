#pragma once
// The finished pattern on the clipboard, three ways in one QMimeData, so
// that office programs, vector editors and image editors can all paste it:
// as an Enhanced Metafile ("image/x-emf"), as SVG ("image/svg+xml") and as
// an image of 300 dots per inch (PNG).
#include "model/mesh.h"
#include "pattern/pages_layout.h"
#include "state/settings.h"

#include <QImage>

class QMimeData;
class QWidget;

inline constexpr double kClipboardImageDpi = 300.0;

// The three forms of the pattern, the metafile drawn for a screen of
// dpiX x dpiY. The caller owns the result.
QMimeData* patternMimeData(nettor::Model& model, const nettor::Settings& settings, double dpiX,
                           double dpiY);

// The sheet with its margins as a white image at dpi dots per inch (fewer
// when the image would be more than 16000 pixels on a side); a null image
// for a sheet without extent.
QImage patternImage(nettor::Model& model, const nettor::Settings& settings, double dpi);

// One page of the Pages layout, the same three ways, at true size.
QMimeData* pageMimeData(const nettor::PagesLayout& layout, const nettor::Settings& settings, int page,
                        double dpiX, double dpiY);
QImage pageImage(const nettor::PagesLayout& layout, const nettor::Settings& settings, int page, double dpi);

// Copy: "There is no unfolded patterns." unless the unfolding is finished;
// otherwise the current pattern goes on the clipboard, the metafile drawn
// for the window's screen. In the Pages layout it is the page shown.
void copyPatternToClipboard(QWidget* window, int shownPage = 1);
