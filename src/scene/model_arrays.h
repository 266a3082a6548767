#pragma once
// The model as the 3D view draws it, in flat arrays ready for OpenGL's
// vertex arrays: every face a fan of triangles with its normal on every
// corner, the faces gathered into batches of one appearance, and the lines
// (the edges while unfolding, the face outlines once finished) with a colour
// on every end, gathered into batches of one width. Built again only when
// the model, its unfolding state, its colours or its images change.
#include "model/mesh.h"
#include "scene/face_appearance.h"

#include <cstdint>
#include <vector>

namespace nettor {

struct ModelArraysOptions {
    bool showTexture = false;
    bool finished = false;   // corners through their copies, outlines instead of edges
    bool edgeColour = false; // folds by kind (ridge blue, valley cyan) instead of black
    bool operator==(const ModelArraysOptions&) const = default;
};

// How the 3D view draws an edge while the model is unfolded.
struct EdgeLook {
    float width = 1.0f;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
};

EdgeLook edgeLook(const Edge& edge, bool edgeColour);

// Consecutive triangle corners that share one appearance.
struct FaceBatch {
    FaceAppearance look;
    std::uint32_t first = 0; // the first corner in the face arrays
    std::uint32_t count = 0; // corners, three a triangle
};

// Consecutive line ends drawn with one width.
struct LineBatch {
    float width = 1.0f;
    std::uint32_t first = 0; // the first end in the line arrays
    std::uint32_t count = 0; // ends, two a line
};

struct ModelArrays {
    // Three floats a corner; the texture coordinates two a corner.
    std::vector<float> facePositions;
    std::vector<float> faceNormals;
    std::vector<float> faceTexCoords;
    std::vector<FaceBatch> faceBatches;
    // Three floats a line end, position and colour.
    std::vector<float> linePositions;
    std::vector<float> lineColours;
    std::vector<LineBatch> lineBatches;

    // What lets a frame leave out what cannot be seen (visible_elements.h):
    // each face's triangle corners, by face number (faces in model order),
    // and each line's two faces by number. A line has kNoFace on both
    // sides unless it may be hidden by its own object: a one-pixel edge
    // while unfolding, of an object closed all round with its faces turned
    // outward, which hides its far side from any eye outside it.
    static constexpr std::uint32_t kNoFace = 0xffffffffu;
    std::vector<std::uint32_t> faceFirstCorner, faceCornerCount;
    std::vector<std::uint32_t> lineFaces; // two a line
    // A sphere around every corner: an eye outside it is outside every object.
    Vec3 centre;
    double radius = 0.0;
};

// Faces keep their order within a batch, and batches come in the order of
// their first face; likewise lines within the batch of their width. A face
// of n corners becomes the n - 2 triangles (c0, ci, ci+1), the fan a
// polygon is filled by; a corner without texture coordinates repeats those
// of the corner before it in the face. Once finished, a side of a face that
// an earlier face shares corner for corner is drawn once, with that face.
ModelArrays buildModelArrays(const Model& model, const ModelArraysOptions& options);

} // namespace nettor
