// AutoCAD DXF reader: the three- and four-sided face entities of the file
// and the faces of polyface meshes, their corners merged into shared
// vertices by exact coordinate equality. Everything else is skipped. The
// whole file becomes one object.
//
// For face entities the group structure (code line, value line) is not
// parsed: the reader takes white-space separated tokens and recognises
// entity names and group codes by their text. A polyline and its vertex
// records are read as code and value lines, since their meaning hangs on
// the flags. A coordinate that is not a finite number, and a polyface face
// naming a vertex record the mesh does not have, refuse the file.
#include "model/mesh.h"
#include "formats/number_text.h"
#include "formats/reading_cancel.h"
#include "formats/text_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace nettor {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class TokenScanner {
public:
    explicit TokenScanner(std::string_view text) : text_(text) {}

    // Next white-space separated token; empty at the end of the text.
    std::string_view next()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
        return text_.substr(begin, pos_ - begin);
    }

    // Steps over the rest of the current line and its line end.
    void skipLine()
    {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        if (pos_ < text_.size()) ++pos_;
    }

    // The next line without its surrounding white space; none at the end.
    std::optional<std::string_view> line()
    {
        if (pos_ >= text_.size()) return std::nullopt;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view l = text_.substr(pos_, end - pos_);
        pos_ = end < text_.size() ? end + 1 : end;
        while (!l.empty() && isSpace(l.front())) l.remove_prefix(1);
        while (!l.empty() && isSpace(l.back())) l.remove_suffix(1);
        return l;
    }

    // Puts the position back to the start of a line returned by line().
    std::size_t position() const { return pos_; }
    void rewind(std::size_t to) { pos_ = to; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

struct FaceEntity {
    double x[4] = {0, 0, 0, 0};
    double y[4] = {0, 0, 0, 0};
    double z[4] = {0, 0, 0, 0};
    int corners = 3;

    bool sameCorner(int a, int b) const { return x[a] == x[b] && y[a] == y[b] && z[a] == z[b]; }
};

// Reads the codes of one face entity, up to its code 0 or the end of the text.
FaceEntity readEntity(TokenScanner& scan)
{
    FaceEntity e;
    bool seenFirstCode = false;
    for (std::string_view t = scan.next(); !t.empty(); t = scan.next()) {
        if (t == "10") {
            seenFirstCode = true;
            std::string_view value = scan.next();
            if (value == "10") value = scan.next();
            e.x[0] = leadingDouble(value);
            continue;
        }
        if (!seenFirstCode) continue; // layer names and the like
        if (t == "0") break;
        double* target = nullptr;
        if (t.size() == 2 && (t[0] == '1' || t[0] == '2' || t[0] == '3') && t[1] >= '0' && t[1] <= '3') {
            const int corner = t[1] - '0';
            target = t[0] == '1' ? &e.x[corner] : t[0] == '2' ? &e.y[corner] : &e.z[corner];
            if (t == "13") e.corners = 4;
        }
        if (target) *target = leadingDouble(scan.next());
    }
    return e;
}

// Group code and value of one pair of lines.
struct Group {
    int code = -1;
    std::string_view value;
};

// Reads the groups of the entity whose name was just taken, up to the code 0
// that starts the next entity (left for the token loop to read its name) or
// the end of the text.
template <class OnGroup>
void readGroups(TokenScanner& scan, OnGroup onGroup)
{
    scan.skipLine(); // the rest of the name's line
    for (;;) {
        const std::size_t at = scan.position();
        const auto codeLine = scan.line();
        if (!codeLine) return;
        if (!codeLine->empty() && codeLine->find_first_not_of('0') == std::string_view::npos) {
            scan.rewind(at);
            scan.skipLine(); // the code 0; its value is the next entity's name
            return;
        }
        const auto value = scan.line();
        if (!value) return;
        const std::int64_t code = leadingInteger(*codeLine);
        onGroup(Group{static_cast<int>(std::clamp<std::int64_t>(code, -1, 1 << 20)), *value});
    }
}

constexpr int kPolyfaceMesh = 64;       // polyline flag
constexpr int kPolyfaceVertex = 128;    // vertex flag of a polyface record
constexpr int kMeshCoordinates = 64;    // with 128: a coordinate record

// A polyface mesh being read: its coordinate records as shared vertices and
// its face records as 1-based indices into them.
struct Polyface {
    bool open = false;       // a polyline is being read
    bool isPolyface = false; // its flag has bit 64
    std::vector<Vertex*> coordinates;
    std::vector<std::vector<std::int64_t>> faces;
};

} // namespace

bool Model::readDxf(const std::string& path)
{
    auto text = readWholeFile(path);
    if (!text) return false;
    return readDxfText(*text);
}

bool Model::readDxfText(std::string_view text)
{
    MeshObject& object = *addObject();
    TokenScanner scan(text);
    std::int32_t vertexNumber = 1;

    auto sharedVertex = [&](double x, double y, double z) {
        Vertex* v = object.findVertex(x, y, z);
        return v ? v : object.addVertex(x, y, z, vertexNumber++);
    };

    // Builds the faces of the polyline being read; false when one names a
    // coordinate record the mesh does not have.
    Polyface poly;
    auto closePolyline = [&]() {
        const bool ok = [&] {
            for (const auto& indices : poly.faces) {
                std::vector<Vertex*> corners;
                for (std::int64_t i : indices) {
                    if (i == 0) continue; // corner not given
                    const std::int64_t n = static_cast<std::int64_t>(poly.coordinates.size());
                    if (i > n || i < -n) return false;
                    // A negative index marks the edge from this corner as invisible.
                    corners.push_back(poly.coordinates[static_cast<std::size_t>(std::llabs(i) - 1)]);
                }
                // Corners that coincide (a triangle written with a repeated
                // index) are one corner.
                std::vector<Vertex*> distinct;
                for (Vertex* v : corners)
                    if (distinct.empty() || distinct.back() != v) distinct.push_back(v);
                while (distinct.size() > 1 && distinct.back() == distinct.front()) distinct.pop_back();
                if (distinct.size() < 3) continue; // an edge or a point: no face
                Face& face = *object.addFace();
                for (Vertex* v : distinct) face.addCorner(v);
                face.finishFace();
            }
            return true;
        }();
        poly = Polyface{};
        return ok;
    };

    CancelCheck cancelled;
    for (std::string_view t = scan.next(); !t.empty(); t = scan.next()) {
        if (cancelled()) return false;
        if (t == "POLYLINE") {
            if (!closePolyline()) return false;
            poly.open = true;
            readGroups(scan, [&](const Group& g) {
                if (g.code == 70) poly.isPolyface = (leadingInteger(g.value) & kPolyfaceMesh) != 0;
            });
            continue;
        }
        if (t == "VERTEX" && poly.open) {
            double x = 0, y = 0, z = 0;
            std::int64_t flags = 0;
            std::vector<std::int64_t> indices(4, 0);
            readGroups(scan, [&](const Group& g) {
                switch (g.code) {
                case 10: x = leadingDouble(g.value); break;
                case 20: y = leadingDouble(g.value); break;
                case 30: z = leadingDouble(g.value); break;
                case 70: flags = leadingInteger(g.value); break;
                case 71: case 72: case 73: case 74: indices[g.code - 71] = leadingInteger(g.value); break;
                default: break;
                }
            });
            // Vertices of other polylines (outlines, polygon meshes) are no faces.
            if (!poly.isPolyface || !(flags & kPolyfaceVertex)) continue;
            if (flags & kMeshCoordinates) {
                if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
                poly.coordinates.push_back(sharedVertex(x, y, z));
            } else {
                poly.faces.push_back(indices);
            }
            continue;
        }
        if (t == "SEQEND" || t == "ENDSEC") {
            if (!closePolyline()) return false;
            scan.skipLine();
            continue;
        }
        if (t != "3DFACE" && t != "3dface" && t != "VERTEX") {
            scan.skipLine();
            continue;
        }
        if (!closePolyline()) return false;
        FaceEntity e = readEntity(scan);
        // A triangle may be stored as a four-corner face.
        if (e.corners == 4 && (e.sameCorner(3, 2) || e.sameCorner(3, 0))) e.corners = 3;
        for (int i = 0; i < e.corners; ++i) {
            if (!std::isfinite(e.x[i]) || !std::isfinite(e.y[i]) || !std::isfinite(e.z[i])) return false;
        }

        Face& face = *object.addFace();
        for (int i = 0; i < e.corners; ++i) face.addCorner(sharedVertex(e.x[i], e.y[i], e.z[i]));
        face.finishFace();
    }
    if (!closePolyline() || readingCancelled()) return false;
    buildAllEdges();
    return true;
}

} // namespace nettor
