#include "formats/eps_writer.h"

#include "pattern/drawn_marks.h"
#include "formats/eps_prolog.h"
#include "pattern/flap_geometry.h"
#include "pattern/line_classification.h"
#include "pattern/pattern_walk.h"
#include "pattern/sheet_coordinates.h"
#include "formats/stream_text.h"
#include "pattern/stroke_digits.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <future>
#include <sstream>
#include <system_error>
#include <string>
#include <thread>

namespace nettor {

namespace {

constexpr double k = kEpsUnitsPerCm;

struct EpsPage {
    double width = 0, height = 0;

    double x(double cm) const { return cm * k + 10; }
    double y(double cm) const { return (height - 10) - cm * k; }
};

struct Writer {
    const Model& model;
    const Settings& settings;
    StreamText out;
    EpsPage page;
    DrawnMarks marks;

    Writer(const Model& m, const Settings& s, std::ostream& target)
        : model(m), settings(s), out(target), marks(m)
    {
        page.width = (model.sheetWidth * model.patternScale + 3) * k + 20;
        page.height = (model.sheetHeight * model.patternScale + 3) * k + 20;
    }

    void point(SheetPoint p, const char* op)
    {
        out << "\n" << page.x(p.x) << " " << page.y(p.y) << " " << op;
    }

    void header()
    {
        const char* name = kEpsProductName;
        out << "%!PS-Adobe-2.0 EPSF-1.2"
            << "\n%%Creator:" << name << "\n%%DocumentFonts: MS-Gothic"
            << "\n%%DocumentNeededFonts: MS-Gothic"
            << "\n%%DocumentProcSets: " << name << " 0 0"
            << "\n%%DocumentSuppliedProcSets: " << name << " 0 0"
            << "\n%%BoundingBox:0 0 " << page.width << " " << page.height
            << "\n%%ColorUsage: Color"
            << "\n%AI3_IncludePlacedImages"
            << "\n%%TileBox: 0 0 " << page.width << " " << page.height
            << "\n%%DocumentPreview: Header"
            << "\n%%EndComments";
    }

    void prolog()
    {
        const char* name = kEpsProductName;
        out << "\n%%BeginProcSet:" << name << " 0 0"
            << "\n/" << name << " dup 100 dict def load begin";
        for (const std::string& line : epsProcedureDefinitions()) out << "\n" << line;
        out << "\nend"
            << "\n%%EndProcSet"
            << "\n%%EndProlog";
    }

    void setup()
    {
        out << "\n%%BeginSetup"
            << "\n" << kEpsProductName << " begin"
            << "\nn"
            << "\n%%BeginEncoding: _MS-Gothic MS-Gothic"
            << "\n[]/_MS-Gothic/MS-Gothic Z"
            << "\n%%EndEncoding"
            << "\n%%EndSetup"
            << "\n%%Note:";
    }

    void flaps()
    {
        const double h = flapHeightCm(model, settings);
        forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
            if (!takeFlap(side, settings, marks)) return;
            const auto outline = flapOutline(sheetPoint(model, part, *side.point),
                                             sheetPoint(model, part, *side.next->point), h);
            if (!outline) return;
            const auto& q = *outline;
            out << "\nnewpath";
            point(q[0], "moveto");
            point(q[1], "lineto");
            point(q[2], "lineto");
            point(q[3], "lineto");
            out << "\nclosepath"
                << "\n1.0 1.0 1.0 setrgbcolor"
                << "\nfill"
                << "\n0 0 0 1 K";
            point(q[0], "m");
            point(q[1], "l");
            point(q[2], "l");
            point(q[3], "l");
            out << "\nS";
        });
    }

    void faces()
    {
        out << "\n[]0 d";
        for (const auto& part : model.parts) {
            if (!part) continue;
            for (const Face* face : part->faces) {
                if (!face || face->outerLoop.halfEdges.empty()) continue;
                bool placed = true;
                for (const HalfEdge* h : face->outerLoop.halfEdges) placed = placed && h && h->point;
                if (!placed) continue;
                out << "\nnewpath";
                bool first = true;
                for (const HalfEdge* h : face->outerLoop.halfEdges) {
                    point(sheetPoint(model, *part, *h->point), first ? "moveto" : "lineto");
                    first = false;
                }
                out << "\nclosepath";
                const Material* material = nullptr;
                if (settings.colorMode && face->object && face->materialIndex >= 0 &&
                    static_cast<std::size_t>(face->materialIndex) < face->object->materials.size())
                    material = &face->object->materials[static_cast<std::size_t>(face->materialIndex)];
                if (material)
                    out << "\n" << material->ambient[0] << " " << material->ambient[1] << " "
                        << material->ambient[2] << " setrgbcolor";
                else
                    out << "\n1.0 1.0 1.0 setrgbcolor";
                out << "\nfill";
            }
        }
    }

    // The lines of the parts from `first` up to `last`, the edges drawn
    // before them marked as the whole pass would have marked them. With
    // `write` false only the marks are made.
    void lines(std::size_t first, std::size_t last, bool write)
    {
        forEachPatternSideIn(model, first, last, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
            const LineKind kind = classifyLine(side, settings, marks);
            if (kind == LineKind::Skip) return;
            const char* dash = "\n[]0 d";
            if (kind != LineKind::Cut) {
                const FoldLineStyle style = foldLineStyle(kind, settings);
                if (style == FoldLineStyle::None) return;
                if (style == FoldLineStyle::Dot) dash = "\n[4 ]0 d";
            }
            if (write) {
                out << dash;
                point(sheetPoint(model, part, *side.point), "m");
                point(sheetPoint(model, part, *side.next->point), "l");
                out << "\nS";
            }
            marks.markDrawn(*side.edge);
        });
    }

    void strokeNumber(int number, double xm, double ym, double angleDegrees)
    {
        const double size = settings.edgeIdFontSize * 0.8063492063492064;
        const double theta = angleDegrees * -0.01745329252;
        const double cosT = std::cos(theta), sinT = std::sin(theta);
        for (const DigitStrokes& digit : strokeNumberLayout(number, size)) {
            out << "\nnewpath";
            bool firstStroke = true;
            for (const auto& stroke : digit) {
                if (!firstStroke) out << "\nS";
                firstStroke = false;
                bool first = true;
                for (const StrokeOffset& o : stroke) {
                    out << "\n" << xm + o.u * cosT - o.v * sinT << " "
                        << ym - (o.v * cosT + o.u * sinT) << (first ? " moveto" : " lineto");
                    first = false;
                }
            }
            out << "\nstroke";
        }
    }

    void textNumber(int number, double xm, double ym, double a, bool leftward)
    {
        // The number of decimal digits (edge numbers start at 1).
        const std::string text = std::to_string(number);
        const int digits = static_cast<int>(text.size()) - (number < 0 ? 1 : 0);
        const int fs = settings.edgeIdFontSize;
        const double w = fs * 0.7055555555555555;
        const double a2 = leftward ? a : 3.1415926536 - a;
        const double xt = xm - (w * digits / 2) * std::cos(a2) - 0.2 * w * std::sin(a2);
        const double yt = ym - (w * digits / 2) * std::sin(a2) + 0.2 * w * std::cos(a2);
        out << "\nu"
            << "\n0 0 0 1 k"
            << "\n/_MS-Gothic " << fs << " " << fs << " 0 0 z"
            << "\n[" << std::cos(a2) << " " << std::sin(a2) << " " << -std::sin(a2) << " "
            << std::cos(a2) << " " << xt << " " << yt << "]e"
            << "\n(" << text << ")t"
            << "\nT"
            << "\nU";
    }

    void numbers()
    {
        out << "\n[]0 d";
        forEachPatternSide(model, [&](const UnfoldedPart& part, const Face&, const HalfEdge& side) {
            const Edge& e = *side.edge;
            if (e.edgeId == -1) return;
            const SheetPoint p0 = sheetPoint(model, part, *side.point);
            const SheetPoint p1 = sheetPoint(model, part, *side.next->point);
            const double length = std::hypot(p1.x - p0.x, p1.y - p0.y);
            if (!(length > 0.0)) return; // no direction to set the number along
            const double a = std::asin((p1.y - p0.y) / length);
            const bool leftward = !(p1.x - p0.x > 0);
            const double xm = page.x((p0.x + p1.x) / 2), ym = page.y((p0.y + p1.y) / 2);
            if (settings.useOriginalFont) {
                const double e10 = a * 572.9577951289617;
                strokeNumber(e.edgeId, xm, ym, (leftward ? e10 : 1800 - e10) * 0.1);
            } else {
                textNumber(e.edgeId, xm, ym, a, leftward);
            }
        });
    }
};

// The part from which the second thread writes the lines: about seven
// tenths of the faces lie before it, as that thread also writes the faces
// and walks the earlier parts for the flaps and the edges drawn.
std::size_t laterPartsOfLines(const Model& model)
{
    std::size_t faces = 0, total = 0;
    for (const auto& part : model.parts)
        if (part) total += part->faces.size();
    for (std::size_t i = 0; i < model.parts.size(); ++i) {
        if (10 * faces >= 7 * total) return i;
        if (model.parts[i]) faces += model.parts[i]->faces.size();
    }
    return model.parts.size();
}

} // namespace

void writeEps(const Model& model, const Settings& settings, std::ostream& out)
{
    writeEps(model, settings, out, 2000);
}

void writeEps(const Model& model, const Settings& settings, std::ostream& out, std::int32_t facesForTwoThreads)
{
    // The faces' text depends on nothing the other passes write, and the
    // lines' only on the flaps taken and the edges drawn before them. So
    // for a large pattern a second thread writes the faces and then the
    // lines of the later parts into memory while this one writes the flaps
    // and the lines of the earlier parts; the other thread takes the flaps
    // this one chose, and a walk without text finds the edges the earlier
    // parts drew. The text goes to the file in its place, the faces as soon
    // as both threads are past them.
    // Should that thread fail (no memory), its failure is this one's, and
    // should none start, this one writes everything itself. Should this
    // one fail first, the other hears that the flaps will not come.
    const std::size_t parts = model.parts.size();
    const std::size_t split = laterPartsOfLines(model);
    std::ostringstream facesText, linesText;
    std::exception_ptr facesFailure;
    std::promise<void> facesWritten;
    std::future<void> facesDone = facesWritten.get_future();
    std::promise<DrawnMarks> flapsChosen;
    bool flapsSent = false;
    std::jthread facesWriter; // joined before anything it uses goes
    if (model.faceCount >= facesForTwoThreads && std::thread::hardware_concurrency() >= 2) {
        try {
            facesWriter = std::jthread([&, flaps = flapsChosen.get_future()]() mutable {
                try {
                    {
                        Writer f(model, settings, facesText);
                        f.faces();
                        f.out.flush();
                    }
                    facesWritten.set_value();
                    Writer l(model, settings, linesText);
                    l.marks = flaps.get();
                    l.lines(0, split, false);
                    l.lines(split, parts, true);
                    l.out.flush();
                } catch (...) {
                    facesFailure = std::current_exception();
                    try {
                        facesWritten.set_exception(facesFailure);
                    } catch (const std::future_error&) { // the faces were done
                    }
                }
            });
        } catch (const std::system_error&) {
        }
    }
    try {
        Writer w(model, settings, out);
        w.header();
        w.prolog();
        w.setup();
        if (settings.createFlaps) w.flaps();
        if (facesWriter.joinable()) {
            // The flaps chosen, with no edge drawn yet: both lines passes
            // start from them.
            DrawnMarks chosen = w.marks;
            chosen.clearDrawn();
            flapsChosen.set_value(chosen);
            flapsSent = true;
            // The earlier parts' lines come after the faces in the file, so
            // they too are written into memory first.
            std::ostringstream earlyLinesText;
            Writer e(model, settings, earlyLinesText);
            e.marks = std::move(chosen);
            e.out << "\n0 0 0 1 K";
            e.lines(0, split, true);
            e.out.flush();
            w.out.flush();
            facesDone.get(); // the other thread's failure, if the faces were not done
            out << facesText.view() << earlyLinesText.view();
            facesWriter.join();
            if (facesFailure) std::rethrow_exception(facesFailure);
            out << linesText.view();
        } else {
            w.faces();
            w.out << "\n0 0 0 1 K";
            w.marks.clearDrawn();
            w.lines(0, parts, true);
        }
        if (settings.showEdgeIds) w.numbers();
        w.out.flush();
    } catch (...) {
        // The other thread may be waiting for the flaps: they will not come.
        if (!flapsSent) {
            try {
                flapsChosen.set_exception(std::current_exception());
            } catch (const std::future_error&) {
            }
        }
        throw;
    }
}

} // namespace nettor
