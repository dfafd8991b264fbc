#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(const Vec3& a, float s);
float dot(const Vec3& a, const Vec3& b);
Vec3 cross(const Vec3& a, const Vec3& b);
Vec3 normalize(const Vec3& v);

struct MeshVertex {
    Vec3 position, normal, tangent, binormal;
    float u = 0, v = 0;
};

struct Submesh {
    std::string material;
    std::vector<MeshVertex> vertices;
    std::vector<int> indices; // three per triangle, counter-clockwise seen from outside
};

// A model as the game reads it: submeshes with their own vertices, written as OGRE mesh XML.
// Flat parts get split vertices per face; textures repeat every `uvScale` world units.
class Mesh {
public:
    Submesh& submesh(const std::string& material);

    // A flat convex polygon (corners counter-clockwise seen from outside) with planar texture projection.
    void addPolygon(const std::string& material, const std::vector<Vec3>& corners, float uvScale);
    void addBox(const std::string& material, const Vec3& min, const Vec3& max, float uvScale);
    // Six faces over eight corners: bottom 0-3 and top 4-7, each in the order (-x,-z), (+x,-z), (+x,+z),
    // (-x,+z). Top corners may sit at different heights (ramps); each face must stay planar.
    void addHexahedron(const std::string& material, const std::array<Vec3, 8>& corners, float uvScale);
    // A solid of revolution about the y axis; `profile` runs bottom to top as (radius, y), first and
    // last radius 0, so the solid is closed.
    void addLathe(const std::string& material, const std::vector<std::pair<float, float>>& profile,
                  int segments, float vRepeat, const Vec3& offset = {});
    void addSphere(const std::string& material, float radius, int segments, int rings);
    // A flat prism with `sides` faces: a polygon of circumradius `radius` from y0 to y1.
    void addPrism(const std::string& material, float radius, float y0, float y1, int sides, float uvScale,
                  const Vec3& offset = {});
    void addOctahedron(const std::string& material, float radius, float height);

    const std::vector<Submesh>& submeshes() const { return parts; }
    void save(const std::filesystem::path& path) const;

private:
    std::vector<Submesh> parts;
};
