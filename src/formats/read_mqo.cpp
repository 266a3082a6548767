// Metasequoia document reader (text format, version 1.0): materials with
// their colours, the vertices of every object (as text or as a binary block)
// and the faces with their material and texture coordinates. All objects go
// into one mesh object.
//
// Refusals beyond the format's own rules:
// - a corner index outside its object's vertices, a negative block size, a
//   binary vertex block that the data does not hold in full, and a vertex
//   coordinate that is not a finite number refuse the file;
// - a face line with fewer than three usable corners (N below 3, or the
//   index list not enclosed in brackets) adds no face: the model drops such
//   faces with a warning, and its material and texture coordinates are
//   ignored with it.
#include "formats/reading_cancel.h"
#include "formats/line_tokenizer.h"
#include "model/mesh.h"
#include "formats/material_images.h"
#include "formats/text_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nettor {

namespace {

// Internal result codes; anything but Ok makes the read fail.
enum Code : int {
    Ok = 0,
    Malformed = -1,  // missing "{", bad face line, failed object, bad block
    EndInChunk = -2, // the data ends inside a chunk
    BadHeader = -3,  // not a Metasequoia document
    BadFormat = -4,  // not the text format, version 1.0
};

float readFloatLE(const char* p)
{
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(p[i]);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

class MqoReader {
public:
    MqoReader(Model& model, std::string_view bytes)
        : model_(model), object_(*model.addObject()), lines_(bytes) {}

    int run()
    {
        if (lines_.readLine() < 2 || !lines_.is(0, "Metasequoia") || !lines_.is(1, "Document")) return BadHeader;
        if (lines_.readLine() < 4 || !lines_.is(0, "Format") || !lines_.is(1, "Text") || !lines_.is(2, "Ver") ||
            lines_.number(3) != 1.0)
            return BadFormat;

        CancelCheck cancelled;
        for (int n = lines_.readLine(); n >= 0; n = lines_.readLine()) {
            if (cancelled()) return Malformed;
            if (n == 0) continue;
            int code;
            if (n >= 2 && lines_.is(0, "Material")) {
                if (!lastIs("{")) return Malformed;
                code = readMaterials();
            } else if (n >= 2 && lines_.is(0, "Object")) {
                if (!lastIs("{")) return Malformed;
                code = readObject();
            } else {
                code = skipLine();
            }
            if (code != Ok) return code;
        }
        model_.buildAllEdges();
        model_.invertFaces();
        return Ok;
    }

private:
    bool lastIs(std::string_view text) const { return lines_.is(lines_.count() - 1, text); }

    // Size of the binary block announced by a line ending in "[", size, "]".
    bool blockSize(std::size_t& size) const
    {
        const std::int32_t n = lines_.integer(lines_.count() - 2);
        if (n < 0) return false; // a block cannot run backwards
        size = static_cast<std::size_t>(n);
        return true;
    }

    // A line the reader does not know: a chunk is skipped whole (with the
    // binary blocks inside it), a binary block after the line is stepped
    // over, anything else is ignored.
    int skipLine()
    {
        if (lastIs("{")) {
            int depth = 1;
            while (depth > 0) {
                const int n = lines_.readLine();
                if (n < 0) return EndInChunk;
                if (n == 0) continue;
                if (lastIs("{")) {
                    ++depth;
                } else if (lastIs("}")) {
                    --depth;
                } else if (lines_.endsWithSizeBlock()) {
                    std::size_t size;
                    if (!blockSize(size)) return Malformed;
                    if (!lines_.skipBytes(size)) return EndInChunk;
                }
            }
            return Ok;
        }
        if (lines_.endsWithSizeBlock()) {
            std::size_t size;
            if (!blockSize(size) || !lines_.skipBytes(size)) return Malformed;
        }
        return Ok;
    }

    // "(" at i + 1 and ")" at i + 1 + inner + 1.
    bool bracketed(int i, int inner) const { return lines_.is(i + 1, "(") && lines_.is(i + 2 + inner, ")"); }

    int readMaterials()
    {
        float colour[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // carried over from line to line
        for (;;) {
            const int n = lines_.readLine();
            if (n < 0) return EndInChunk;
            if (n == 0) continue;
            if (lines_.is(0, "}")) return Ok;
            int i = 1;
            std::string texture; // tex("..."): the material's own image
            while (i < n) {
                if (lines_.is(i, "col")) {
                    if (!bracketed(i, 4)) break;
                    for (int c = 0; c < 4; ++c) colour[c] = static_cast<float>(lines_.number(i + 2 + c));
                    i += 7;
                } else if (lines_.is(i, "dif") || lines_.is(i, "amb") || lines_.is(i, "spc") ||
                           lines_.is(i, "emi") || lines_.is(i, "power") || lines_.is(i, "tex") ||
                           lines_.is(i, "aplane") || lines_.is(i, "bump")) {
                    if (!bracketed(i, 1)) break;
                    if (lines_.is(i, "tex")) texture = std::string(lines_.token(i + 2));
                    i += 4;
                } else {
                    if (!lines_.is(i + 1, "(")) break;
                    int j = i + 2;
                    while (j < n && !lines_.is(j, ")")) ++j;
                    i = j + 1;
                }
            }
            Material m;
            std::copy(colour, colour + 4, m.ambient);
            std::copy(colour, colour + 4, m.diffuse);
            std::fill(m.emission, m.emission + 3, 0.0f);
            m.emission[3] = 1.0f;
            std::fill(m.specular, m.specular + 3, 0.0f);
            m.specular[3] = 1.0f;
            m.shininess = 0.0f;
            m.name = std::string(lines_.token(0));
            m.textureName = std::move(texture);
            object_.materials.push_back(std::move(m));
        }
    }

    int readObject()
    {
        objectFirstVertex_ = object_.vertices.size();
        for (;;) {
            const int n = lines_.readLine();
            if (n < 0) return EndInChunk;
            if (n == 0) continue;
            if (lines_.is(0, "}")) return Ok;
            int code;
            if (n >= 3 && lines_.is(0, "vertex")) {
                if (!lastIs("{")) return Malformed;
                code = readTextVertices();
            } else if (n >= 3 && lines_.is(0, "BVertex")) {
                if (!lastIs("{")) return Malformed;
                code = readBinaryVertices();
            } else if (n >= 2 && lines_.is(0, "face")) {
                if (!lastIs("{")) return Malformed;
                code = readFaces();
            } else {
                code = skipLine();
            }
            if (code != Ok) return code;
        }
    }

    bool addVertex(double x, double y, double z)
    {
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
        object_.addVertex(x, y, z, vertexNumber_++);
        return true;
    }

    int readTextVertices()
    {
        for (;;) {
            const int n = lines_.readLine();
            if (n < 0) return EndInChunk;
            if (n == 0) continue;
            if (lines_.is(0, "}")) return Ok;
            if (n < 3) continue;
            // The file's axes point the other way: all three are negated.
            if (!addVertex(-lines_.number(0), -lines_.number(1), -lines_.number(2))) return Malformed;
        }
    }

    // Skips lines up to and including the next one that ends with "}".
    int skipToClosingLine()
    {
        for (;;) {
            const int n = lines_.readLine();
            if (n < 0) return EndInChunk;
            if (n > 0 && lastIs("}")) return Ok;
        }
    }

    int readBinaryVertices()
    {
        for (;;) {
            const int n = lines_.readLine();
            if (n < 0) return EndInChunk;
            if (n == 0) continue;
            if (lines_.is(0, "}")) return Ok;
            int code = Ok;
            if (n >= 5 && lines_.is(0, "Vector")) {
                if (!lines_.endsWithSizeBlock()) return Malformed;
                const std::int32_t count = lines_.integer(1);
                if (count > 0) {
                    // Twelve bytes a record; the size in brackets is not used.
                    const std::size_t bytes = static_cast<std::size_t>(count) * 12;
                    std::string_view block;
                    if (!lines_.takeBytes(bytes, block)) return EndInChunk;
                    for (std::size_t r = 0; r < static_cast<std::size_t>(count); ++r) {
                        const char* p = block.data() + r * 12;
                        if (!addVertex(readFloatLE(p), readFloatLE(p + 4), readFloatLE(p + 8))) return Malformed;
                    }
                }
            } else if (n >= 2 && (lines_.is(0, "color") || lines_.is(0, "weit"))) {
                code = skipToClosingLine();
            } else {
                code = skipLine();
            }
            if (code != Ok) return code;
        }
    }

    int readFaces()
    {
        // A face's indices count within its own object.
        const std::size_t first = objectFirstVertex_;
        const std::size_t tableSize = object_.vertices.size() - first;
        const auto materialCount = static_cast<std::int64_t>(object_.materials.size());
        for (;;) {
            const int t = lines_.readLine();
            if (t < 0) return EndInChunk;
            if (t == 0) continue;
            if (lines_.is(0, "}")) return Ok;

            const std::int64_t corners = lines_.integer(0);
            Face& face = *object_.addFace();
            if (!lines_.is(1, "V") || t < corners + 4) return Malformed;
            if (corners < 0) {
                face.finishFace(); // no corners: dropped
                continue;
            }
            const int n = static_cast<int>(corners); // below t, so it fits
            const int used = std::min(n, 4);
            if (lines_.is(2, "(") && lines_.is(n + 3, ")")) {
                for (int k = 0; k < used; ++k) {
                    const std::int32_t index = lines_.integer(3 + k);
                    if (index < 0 || static_cast<std::size_t>(index) >= tableSize) return Malformed;
                    face.addCorner(object_.vertices[first + static_cast<std::size_t>(index)]);
                }
            }
            if (!face.finishFace()) continue; // fewer than three corners

            int u = n + 4;
            if (lines_.is(u, "M") && t >= n + 8) {
                if (!lines_.is(n + 5, "(") || !lines_.is(n + 7, ")")) continue;
                const std::int64_t m = lines_.integer(n + 6);
                if (m >= 0 && m < materialCount) face.materialIndex = static_cast<std::int32_t>(m);
                u = n + 8;
            }
            if (lines_.is(u, "UV") && t >= static_cast<std::int64_t>(u) + 2 * n + 3 && lines_.is(u + 1, "(") &&
                lines_.is(u + 2 * n + 2, ")")) {
                model_.hasTexCoords = true;
                const auto& hs = face.outerLoop.halfEdges;
                for (int k = 0; k < used; ++k) {
                    // u is kept in single precision. Texture rows run
                    // downwards in the file, so v is flipped.
                    const float tu = static_cast<float>(lines_.number(u + 2 + 2 * k));
                    const double tv = 1.0 - lines_.number(u + 3 + 2 * k);
                    hs[static_cast<std::size_t>(k)]->texCoord = object_.addTexCoord(tu, tv);
                }
            }
        }
    }

    Model& model_;
    MeshObject& object_;
    LineTokenizer lines_;
    std::int32_t vertexNumber_ = 1;
    std::size_t objectFirstVertex_ = 0;
};

} // namespace

bool Model::readMqo(const std::string& path)
{
    auto bytes = readWholeFile(path);
    if (!bytes) return false;
    if (!readMqoBytes(*bytes)) return false;
    loadMaterialImages(*this, containingFolder(path));
    return true;
}

bool Model::readMqoBytes(std::string_view bytes)
{
    return MqoReader(*this, bytes).run() == Ok;
}

} // namespace nettor
