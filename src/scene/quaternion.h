#pragma once
// Quaternions for the trackball: (x, y, z) the vector part, w the scalar.
namespace nettor {

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// The Hamilton product a (x) b: the rotation of b followed by that of a.
Quaternion hamiltonProduct(const Quaternion& a, const Quaternion& b);

// The rotation of any non-zero quaternion (scaled by 2 / |q|^2, so it need
// not be of unit length) as an OpenGL matrix: column-major, applied to
// column vectors, zero translation, 1 in the last element. The zero
// quaternion gives the identity.
void rotationMatrix(const Quaternion& q, float matrix[16]);

} // namespace nettor
