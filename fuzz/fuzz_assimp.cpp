// Fuzz target: the conversion of scenes Assimp hands over. The bytes
// describe a scene (meshes, faces, materials, a node tree with its
// transforms) as a damaged file could make Assimp give it; the conversion
// must refuse or convert every one soundly. Assimp's own parsers are not
// fuzzed here: some of them hang on damaged input, which is not ours to fix.
#include "fuzz_checks.h"

#include "formats/assimp_scene.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <cstring>

namespace {

// Takes bytes off the input; zeros once it is used up.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    unsigned byte()
    {
        return at_ < data_.size() ? static_cast<unsigned char>(data_[at_++]) : 0u;
    }
    float number()
    {
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits |= byte() << (8 * i);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

private:
    std::string_view data_;
    std::size_t at_ = 0;
};

// Assimp's records free only arrays they were given for a nonzero count.
template <class T>
T* array(unsigned n)
{
    return n ? new T[n] : nullptr;
}

aiMesh* makeMesh(Bytes& in)
{
    auto* mesh = new aiMesh;
    mesh->mNumVertices = in.byte() % 12;
    mesh->mVertices = array<aiVector3D>(mesh->mNumVertices);
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        // Small whole numbers mostly, so that corners meet; raw floats now and then.
        if (in.byte() % 4 == 0)
            mesh->mVertices[i] = aiVector3D(in.number(), in.number(), in.number());
        else
            mesh->mVertices[i] = aiVector3D(float(in.byte() % 3), float(in.byte() % 3), float(in.byte() % 3));
    }
    if (in.byte() % 2) {
        mesh->mTextureCoords[0] = array<aiVector3D>(mesh->mNumVertices);
        for (unsigned i = 0; i < mesh->mNumVertices; ++i) mesh->mTextureCoords[0][i] = aiVector3D(in.number(), in.number(), 0);
    }
    mesh->mNumFaces = in.byte() % 10;
    mesh->mFaces = array<aiFace>(mesh->mNumFaces);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = in.byte() % 7;
        face.mIndices = array<unsigned>(face.mNumIndices);
        for (unsigned c = 0; c < face.mNumIndices; ++c) face.mIndices[c] = in.byte() % 14;
    }
    mesh->mMaterialIndex = in.byte() % 3;
    return mesh;
}

aiNode* makeNode(Bytes& in, unsigned depth)
{
    auto* node = new aiNode;
    if (in.byte() % 2) {
        float* m = &node->mTransformation.a1;
        for (int i = 0; i < 12; ++i) m[i] = in.byte() % 8 == 0 ? in.number() : float(int(in.byte() % 5) - 2);
    }
    node->mNumMeshes = in.byte() % 4;
    node->mMeshes = array<unsigned>(node->mNumMeshes);
    for (unsigned i = 0; i < node->mNumMeshes; ++i) node->mMeshes[i] = in.byte() % 5;
    if (depth < 4) {
        node->mNumChildren = in.byte() % 3;
        node->mChildren = array<aiNode*>(node->mNumChildren);
        for (unsigned i = 0; i < node->mNumChildren; ++i) {
            node->mChildren[i] = makeNode(in, depth + 1);
            node->mChildren[i]->mParent = node;
        }
    }
    return node;
}

void convertScene(std::string_view data)
{
    Bytes in(data);
    aiScene scene;
    scene.mNumMeshes = in.byte() % 5;
    scene.mMeshes = array<aiMesh*>(scene.mNumMeshes);
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) scene.mMeshes[i] = makeMesh(in);
    scene.mNumMaterials = in.byte() % 3;
    scene.mMaterials = array<aiMaterial*>(scene.mNumMaterials);
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        scene.mMaterials[i] = new aiMaterial;
        const aiColor4D colour(in.number(), in.number(), in.number(), in.number());
        scene.mMaterials[i]->AddProperty(&colour, 1, AI_MATKEY_COLOR_DIFFUSE);
    }
    if (in.byte() % 8) scene.mRootNode = makeNode(in, 0);
    nettor::Model model;
    if (nettor::sceneToModel(scene, model)) nettor::fuzz::checkModel(model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nettor::fuzz::silenceDiagnostics();
    convertScene(nettor::fuzz::bytes(data, size));
    return 0;
}
