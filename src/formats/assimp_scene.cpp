#include "formats/assimp_scene.h"

#include "formats/material_images.h"
#include "model/diagnostics.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace nettor {

namespace {

// Limits for a node tree: deeper or larger ones are taken as damaged.
constexpr unsigned kMaxDepth = 1000;
constexpr std::size_t kMaxNodeVisits = 1u << 20;

// An affine transform in double precision, from Assimp's row-major matrix.
struct Transform {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

    static Transform of(const aiMatrix4x4& a)
    {
        Transform t;
        const float* rows[3] = {&a.a1, &a.b1, &a.c1};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) t.m[r][c] = rows[r][c];
        return t;
    }
    // this after inner: a point is first moved by inner.
    Transform operator*(const Transform& inner) const
    {
        Transform t;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                double sum = c == 3 ? m[r][3] : 0.0;
                for (int k = 0; k < 3; ++k) sum += m[r][k] * inner.m[k][c];
                t.m[r][c] = sum;
            }
        }
        return t;
    }
    Vec3 apply(const aiVector3D& p) const
    {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
    // A mirroring transform turns the faces inside out.
    bool mirrors() const
    {
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        return det < 0.0;
    }
};

bool finite(const Vec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

float unit(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }

class SceneConverter {
public:
    SceneConverter(const aiScene& scene, Model& model) : scene_(scene), model_(model), images_(model) {}

    bool run()
    {
        const unsigned meshCount = scene_.mMeshes ? scene_.mNumMeshes : 0;
        placed_.assign(meshCount, false);
        if (scene_.mRootNode && !placeNode(*scene_.mRootNode, Transform(), 0)) return false;
        for (unsigned i = 0; i < meshCount; ++i) {
            if (!placed_[i] && !convertMesh(i, Transform())) return false;
        }
        if (model_.objects.empty()) model_.addObject();
        model_.buildAllEdges();
        return true;
    }

private:
    bool refuse(const char* why)
    {
        diagnostics() << "The model file " << why << ".\n";
        return false;
    }

    bool placeNode(const aiNode& node, const Transform& parent, unsigned depth)
    {
        if (depth > kMaxDepth || ++nodeVisits_ > kMaxNodeVisits) return refuse("has a node tree too deep or too large");
        const Transform global = parent * Transform::of(node.mTransformation);
        if (node.mNumMeshes > 0 && !node.mMeshes) return refuse("places meshes it does not list");
        for (unsigned i = 0; i < node.mNumMeshes; ++i) {
            const unsigned mesh = node.mMeshes[i];
            if (mesh >= placed_.size()) return refuse("places a mesh it does not hold");
            placed_[mesh] = true;
            if (!convertMesh(mesh, global)) return false;
        }
        if (node.mNumChildren > 0 && !node.mChildren) return refuse("lists node children it does not hold");
        for (unsigned i = 0; i < node.mNumChildren; ++i) {
            if (node.mChildren[i] && !placeNode(*node.mChildren[i], global, depth + 1)) return false;
        }
        return true;
    }

    // The mesh's material as the object's only material, when it has a
    // diffuse colour of its own (not the stand-in Assimp gives files
    // without materials).
    int addMaterial(const aiMesh& mesh, MeshObject& object)
    {
        if (!scene_.mMaterials || mesh.mMaterialIndex >= scene_.mNumMaterials) return -1;
        const aiMaterial* material = scene_.mMaterials[mesh.mMaterialIndex];
        if (!material) return -1;
        aiString name;
        if (material->Get(AI_MATKEY_NAME, name) == aiReturn_SUCCESS &&
            std::strcmp(name.C_Str(), AI_DEFAULT_MATERIAL_NAME) == 0)
            return -1;
        Material m;
        takeTexture(*material, m);
        aiColor4D colour;
        if (material->Get(AI_MATKEY_COLOR_DIFFUSE, colour) == aiReturn_SUCCESS ||
            material->Get(AI_MATKEY_BASE_COLOR, colour) == aiReturn_SUCCESS) {
            const float rgba[4] = {unit(colour.r), unit(colour.g), unit(colour.b), unit(colour.a)};
            std::copy(rgba, rgba + 4, m.ambient);
            std::copy(rgba, rgba + 4, m.diffuse);
        } else if (m.textureName.empty()) {
            return -1;
        }
        if (name.length > 0) m.name = name.C_Str();
        object.materials.push_back(std::move(m));
        return static_cast<int>(object.materials.size()) - 1;
    }

    // The material's diffuse (or base colour) texture: an image carried in
    // the scene is decoded at once, a file is only named (the caller reads
    // it, relative to the model file).
    void takeTexture(const aiMaterial& material, Material& m)
    {
        aiString path;
        if (material.GetTexture(aiTextureType_DIFFUSE, 0, &path) != aiReturn_SUCCESS &&
            material.GetTexture(aiTextureType_BASE_COLOR, 0, &path) != aiReturn_SUCCESS)
            return;
        m.textureName = path.C_Str();
        if (m.textureName.empty()) return;
        const aiTexture* embedded = embeddedTexture(m.textureName);
        if (!embedded) {
            if (m.textureName[0] == '*') images_.warn(m.textureName, "the model file does not hold it.");
            return;
        }
        if (embedded->mHeight == 0) {
            if (!embedded->pcData) return;
            const std::string_view bytes(reinterpret_cast<const char*>(embedded->pcData), embedded->mWidth);
            m.imageIndex = images_.fromBytes(m.textureName, bytes);
        } else {
            m.imageIndex = images_.add(m.textureName, texelImage(*embedded));
            if (m.imageIndex < 0) images_.warn(m.textureName, "the image is damaged or too large.");
        }
    }

    const aiTexture* embeddedTexture(const std::string& name) const
    {
        if (!scene_.mTextures || scene_.mNumTextures == 0) return nullptr;
        if (name[0] == '*') {
            char* end = nullptr;
            const unsigned long index = std::strtoul(name.c_str() + 1, &end, 10);
            if (end == name.c_str() + 1 || *end != '\0' || index >= scene_.mNumTextures) return nullptr;
            return scene_.mTextures[index];
        }
        // By file name, as some formats name what they carry.
        const auto fileName = [](const std::string& p) {
            const std::size_t slash = p.find_last_of("/\\");
            return slash == std::string::npos ? p : p.substr(slash + 1);
        };
        const std::string wanted = fileName(name);
        for (unsigned i = 0; i < scene_.mNumTextures; ++i) {
            const aiTexture* t = scene_.mTextures[i];
            if (t && t->mFilename.length > 0 && fileName(t->mFilename.C_Str()) == wanted) return t;
        }
        return nullptr;
    }

    // An uncompressed texture of the scene (blue, green, red, alpha texels,
    // top row first) as an RGB image, bottom row first.
    static std::unique_ptr<TextureImage> texelImage(const aiTexture& t)
    {
        if (!t.pcData || t.mWidth == 0 || t.mWidth > 16384u || t.mHeight > 16384u ||
            std::uint64_t(t.mWidth) * t.mHeight * 4u > (std::uint64_t(256) << 20))
            return nullptr;
        auto image = std::make_unique<TextureImage>();
        image->width = static_cast<std::int32_t>(t.mWidth);
        image->height = static_cast<std::int32_t>(t.mHeight);
        image->pixels.resize(std::size_t(t.mWidth) * t.mHeight * 3u);
        for (unsigned y = 0; y < t.mHeight; ++y) {
            for (unsigned x = 0; x < t.mWidth; ++x) {
                const aiTexel& texel = t.pcData[std::size_t(y) * t.mWidth + x];
                unsigned char* out = &image->pixels[(std::size_t(t.mHeight - 1 - y) * t.mWidth + x) * 3u];
                out[0] = texel.r;
                out[1] = texel.g;
                out[2] = texel.b;
            }
        }
        return image;
    }

    bool convertMesh(unsigned index, const Transform& transform)
    {
        const aiMesh* mesh = scene_.mMeshes[index];
        if (!mesh) return refuse("lists a mesh it does not hold");
        if (mesh->mNumFaces > 0 && !mesh->mFaces) return refuse("lists faces it does not hold");
        if (mesh->mNumVertices > 0 && !mesh->mVertices) return refuse("lists vertices it does not hold");
        // Points and lines are no faces; a mesh of nothing else adds no object.
        bool hasPolygon = false;
        for (unsigned f = 0; f < mesh->mNumFaces && !hasPolygon; ++f) hasPolygon = mesh->mFaces[f].mNumIndices >= 3;
        if (!hasPolygon) return true;

        MeshObject& object = *model_.addObject();
        const int material = addMaterial(*mesh, object);
        const aiVector3D* uv = mesh->mTextureCoords[0];
        const bool reversed = transform.mirrors();
        std::vector<Vertex*> table(mesh->mNumVertices, nullptr);

        struct Corner {
            Vertex* vertex;
            unsigned source;
        };
        std::vector<Corner> corners;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices < 3) continue;
            if (!face.mIndices) return refuse("lists face corners it does not hold");
            corners.clear();
            for (unsigned c = 0; c < face.mNumIndices; ++c) {
                const unsigned i = face.mIndices[c];
                if (i >= mesh->mNumVertices) return refuse("names a vertex its mesh does not have");
                if (!table[i]) {
                    const Vec3 p = transform.apply(mesh->mVertices[i]);
                    if (!finite(p)) return refuse("holds a position that is not a finite number");
                    table[i] = object.findVertex(p.x, p.y, p.z);
                    if (!table[i]) table[i] = object.addVertex(p.x, p.y, p.z, vertexNumber_++);
                }
                // A corner repeating the one before it (after merging) is one corner.
                if (corners.empty() || corners.back().vertex != table[i]) corners.push_back({table[i], i});
            }
            while (corners.size() > 1 && corners.back().vertex == corners.front().vertex) corners.pop_back();
            if (corners.size() < 3) continue;
            if (reversed) std::reverse(corners.begin(), corners.end());

            Face& out = *object.addFace();
            for (const Corner& c : corners) {
                TexCoord* t = nullptr;
                if (uv) {
                    const aiVector3D& w = uv[c.source];
                    if (!std::isfinite(w.x) || !std::isfinite(w.y))
                        return refuse("holds a texture coordinate that is not a finite number");
                    t = object.addTexCoord(w.x, w.y);
                    model_.hasTexCoords = true;
                }
                out.addCorner(c.vertex, t);
            }
            out.finishFace();
            out.materialIndex = material;
        }
        return true;
    }

    const aiScene& scene_;
    Model& model_;
    MaterialImageLoader images_;
    std::vector<bool> placed_;
    std::size_t nodeVisits_ = 0;
    std::int32_t vertexNumber_ = 1;
};

} // namespace

bool sceneToModel(const aiScene& scene, Model& model)
{
    return SceneConverter(scene, model).run();
}

} // namespace nettor
