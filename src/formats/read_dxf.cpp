// AutoCAD DXF reader: the three- and four-sided face entities of the file,
// their corners merged into shared vertices by exact coordinate equality.
// Everything else is skipped. The whole file becomes one object.
//
// The group structure (code line, value line) is not parsed: the reader takes
// white-space separated tokens and recognises entity names and group codes
// by their text. A coordinate that is not a finite number refuses the file.
#include "model/mesh.h"
#include "formats/number_text.h"
#include "formats/text_file.h"

#include <cmath>

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

    for (std::string_view t = scan.next(); !t.empty(); t = scan.next()) {
        if (t != "3DFACE" && t != "3dface" && t != "VERTEX") {
            scan.skipLine();
            continue;
        }
        FaceEntity e = readEntity(scan);
        // A triangle may be stored as a four-corner face.
        if (e.corners == 4 && (e.sameCorner(3, 2) || e.sameCorner(3, 0))) e.corners = 3;
        for (int i = 0; i < e.corners; ++i) {
            if (!std::isfinite(e.x[i]) || !std::isfinite(e.y[i]) || !std::isfinite(e.z[i])) return false;
        }

        Face& face = *object.addFace();
        for (int i = 0; i < e.corners; ++i) {
            Vertex* v = object.findVertex(e.x[i], e.y[i], e.z[i]);
            if (!v) v = object.addVertex(e.x[i], e.y[i], e.z[i], vertexNumber++);
            face.addCorner(v);
        }
        face.finishFace();
    }
    buildAllEdges();
    return true;
}

} // namespace nettor
