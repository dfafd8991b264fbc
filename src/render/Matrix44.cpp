#include "render/Matrix44.h"

Matrix44 Matrix44::operator*(const Matrix44& b) const {
    Matrix44 product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += at(row, k) * b.at(k, column);
            }
            product.at(row, column) = sum;
        }
    }
    return product;
}

Vector3 Matrix44::transform(const Vector3& v) const {
    float result[4];
    for (int row = 0; row < 4; ++row) {
        result[row] = at(row, 0) * v.x + at(row, 1) * v.y + at(row, 2) * v.z + at(row, 3);
    }
    const Vector3 point{result[0], result[1], result[2]};
    return result[3] == 1.0f ? point : point / result[3];
}

Matrix44 Matrix44::perspective(float left, float right, float bottom, float top, float nearPlane,
                               double farPlane, bool depthClamp) {
    Matrix44 p;
    p.at(0, 0) = 2.0f * nearPlane / (right - left);
    p.at(1, 1) = 2.0f * nearPlane / (top - bottom);
    p.at(0, 2) = (right + left) / (right - left);
    p.at(1, 2) = (top + bottom) / (top - bottom);
    p.at(3, 2) = -1.0f;
    p.at(3, 3) = 0.0f;
    if (farPlane < kInfinity) {
        const float f = static_cast<float>(farPlane);
        p.at(2, 2) = -(f + nearPlane) / (f - nearPlane);
        p.at(2, 3) = -2.0f * f * nearPlane / (f - nearPlane);
    } else if (depthClamp) {
        p.at(2, 2) = -1.0f;
        p.at(2, 3) = -2.0f * nearPlane;
    } else {
        p.at(2, 2) = -0.999f;
        p.at(2, 3) = -1.999f * nearPlane;
    }
    return p;
}
