#include "Mesh.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <pugixml.hpp>
#include <stdexcept>

Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(const Vec3& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
float dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalize(const Vec3& v) {
    const float len = std::sqrt(dot(v, v));
    return len > 0 ? v * (1.0f / len) : v;
}

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Texture u runs along the tangent; v grows opposite to the binormal, so that image "up" is +binormal.
Vec3 tangentFor(const Vec3& normal) {
    const Vec3 reference = std::fabs(normal.y) > 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    if (std::fabs(normal.y) > 0.9f) {
        return normalize(reference - normal * dot(reference, normal));
    }
    return normalize(cross(reference, normal));
}

std::string number(float v) {
    if (v == 0) {
        v = 0; // no negative zero in the files
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", double(v));
    return text;
}

void putVector(pugi::xml_node node, const Vec3& v) {
    node.append_attribute("x") = number(v.x).c_str();
    node.append_attribute("y") = number(v.y).c_str();
    node.append_attribute("z") = number(v.z).c_str();
}

} // namespace

Submesh& Mesh::submesh(const std::string& material) {
    for (Submesh& part : parts) {
        if (part.material == material) {
            return part;
        }
    }
    parts.push_back({material, {}, {}});
    return parts.back();
}

void Mesh::addPolygon(const std::string& material, const std::vector<Vec3>& corners, float uvScale) {
    Submesh& part = submesh(material);
    const Vec3 normal = normalize(cross(corners[1] - corners[0], corners[2] - corners[0]));
    const Vec3 tangent = tangentFor(normal);
    const Vec3 binormal = cross(normal, tangent);
    const int base = int(part.vertices.size());
    for (const Vec3& p : corners) {
        part.vertices.push_back(
            {p, normal, tangent, binormal, dot(p, tangent) / uvScale, -dot(p, binormal) / uvScale});
    }
    for (int i = 1; i + 1 < int(corners.size()); ++i) {
        part.indices.insert(part.indices.end(), {base, base + i, base + i + 1});
    }
}

void Mesh::addBox(const std::string& material, const Vec3& a, const Vec3& b, float uvScale) {
    addHexahedron(material,
                  {{{a.x, a.y, a.z},
                    {b.x, a.y, a.z},
                    {b.x, a.y, b.z},
                    {a.x, a.y, b.z},
                    {a.x, b.y, a.z},
                    {b.x, b.y, a.z},
                    {b.x, b.y, b.z},
                    {a.x, b.y, b.z}}},
                  uvScale);
}

void Mesh::addHexahedron(const std::string& material, const std::array<Vec3, 8>& c, float uvScale) {
    addPolygon(material, {c[4], c[7], c[6], c[5]}, uvScale); // top
    addPolygon(material, {c[0], c[1], c[2], c[3]}, uvScale); // bottom
    addPolygon(material, {c[3], c[2], c[6], c[7]}, uvScale); // +z
    addPolygon(material, {c[1], c[0], c[4], c[5]}, uvScale); // -z
    addPolygon(material, {c[2], c[1], c[5], c[6]}, uvScale); // +x
    addPolygon(material, {c[0], c[3], c[7], c[4]}, uvScale); // -x
}

void Mesh::addLathe(const std::string& material, const std::vector<std::pair<float, float>>& profile,
                    int segments, float vRepeat, const Vec3& offset) {
    Submesh& part = submesh(material);
    const int rows = int(profile.size());
    const int base = int(part.vertices.size());
    for (int r = 0; r < rows; ++r) {
        // Profile slope for smooth normals: central differences along the profile.
        const auto& prev = profile[std::max(0, r - 1)];
        const auto& next = profile[std::min(rows - 1, r + 1)];
        const float dr = next.first - prev.first, dy = next.second - prev.second;
        for (int s = 0; s <= segments; ++s) {
            // The seam column repeats column 0 exactly, so positions match bit for bit.
            const int column = s % segments;
            const float angle = 2 * kPi * float(column) / float(segments);
            const float cs = std::cos(angle), sn = std::sin(angle);
            const float radius = profile[r].first;
            const Vec3 position = Vec3{radius * cs, profile[r].second, radius * sn} + offset;
            Vec3 normal = normalize(Vec3{dy * cs, -dr, dy * sn});
            if (r == 0 && radius == 0) {
                normal = {0, -1, 0};
            } else if (r == rows - 1 && radius == 0) {
                normal = {0, 1, 0};
            }
            const Vec3 tangent{-sn, 0, cs};
            part.vertices.push_back({position, normal, tangent, normalize(cross(normal, tangent)),
                                     float(s) / float(segments),
                                     vRepeat * (1.0f - float(r) / float(rows - 1))});
        }
    }
    const int stride = segments + 1;
    for (int r = 0; r + 1 < rows; ++r) {
        for (int s = 0; s < segments; ++s) {
            const int i00 = base + r * stride + s, i01 = i00 + 1, i10 = i00 + stride, i11 = i10 + 1;
            if (profile[r].first != 0) {
                part.indices.insert(part.indices.end(), {i00, i10, i01});
            }
            if (profile[r + 1].first != 0) {
                part.indices.insert(part.indices.end(), {i01, i10, i11});
            }
        }
    }
}

void Mesh::addSphere(const std::string& material, float radius, int segments, int rings) {
    std::vector<std::pair<float, float>> profile;
    for (int r = 0; r <= rings; ++r) {
        const float angle = kPi * float(r) / float(rings) - kPi / 2;
        const float ring = (r == 0 || r == rings) ? 0.0f : radius * std::cos(angle);
        profile.emplace_back(ring, radius * std::sin(angle));
    }
    addLathe(material, profile, segments, 1.0f);
}

void Mesh::addPrism(const std::string& material, float radius, float y0, float y1, int sides, float uvScale,
                    const Vec3& offset) {
    std::vector<Vec3> bottom, top;
    for (int i = 0; i < sides; ++i) {
        const float angle = 2 * kPi * (float(i) + 0.5f) / float(sides);
        bottom.push_back(Vec3{radius * std::cos(angle), y0, radius * std::sin(angle)} + offset);
        top.push_back(Vec3{radius * std::cos(angle), y1, radius * std::sin(angle)} + offset);
    }
    std::vector<Vec3> topFace(top.rbegin(), top.rend());
    addPolygon(material, topFace, uvScale);
    addPolygon(material, bottom, uvScale);
    for (int i = 0; i < sides; ++i) {
        const int j = (i + 1) % sides;
        addPolygon(material, {bottom[j], bottom[i], top[i], top[j]}, uvScale);
    }
}

void Mesh::addOctahedron(const std::string& material, float radius, float height) {
    const Vec3 up{0, height, 0}, down{0, -height, 0};
    const Vec3 ring[4] = {{radius, 0, 0}, {0, 0, radius}, {-radius, 0, 0}, {0, 0, -radius}};
    for (int i = 0; i < 4; ++i) {
        const Vec3& a = ring[i];
        const Vec3& b = ring[(i + 1) % 4];
        addPolygon(material, {b, a, up}, radius);
        addPolygon(material, {a, b, down}, radius);
    }
}

void Mesh::save(const std::filesystem::path& path) const {
    pugi::xml_document document;
    pugi::xml_node mesh = document.append_child("mesh");
    pugi::xml_node submeshes = mesh.append_child("submeshes");
    pugi::xml_node names = mesh.append_child("submeshnames");
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const Submesh& part = parts[index];
        pugi::xml_node submesh = submeshes.append_child("submesh");
        submesh.append_attribute("material") = part.material.c_str();
        submesh.append_attribute("usesharedvertices") = "false";
        submesh.append_attribute("use32bitindexes") = "false";
        submesh.append_attribute("operationtype") = "triangle_list";
        pugi::xml_node faces = submesh.append_child("faces");
        faces.append_attribute("count") = unsigned(part.indices.size() / 3);
        for (std::size_t i = 0; i < part.indices.size(); i += 3) {
            pugi::xml_node face = faces.append_child("face");
            face.append_attribute("v1") = part.indices[i];
            face.append_attribute("v2") = part.indices[i + 1];
            face.append_attribute("v3") = part.indices[i + 2];
        }
        pugi::xml_node geometry = submesh.append_child("geometry");
        geometry.append_attribute("vertexcount") = unsigned(part.vertices.size());
        pugi::xml_node buffer = geometry.append_child("vertexbuffer");
        buffer.append_attribute("positions") = "true";
        buffer.append_attribute("normals") = "true";
        buffer.append_attribute("tangents") = "true";
        buffer.append_attribute("binormals") = "true";
        buffer.append_attribute("texture_coords") = "1";
        buffer.append_attribute("texture_coord_dimensions_0") = "2";
        for (const MeshVertex& v : part.vertices) {
            pugi::xml_node vertex = buffer.append_child("vertex");
            putVector(vertex.append_child("position"), v.position);
            putVector(vertex.append_child("normal"), v.normal);
            putVector(vertex.append_child("tangent"), v.tangent);
            putVector(vertex.append_child("binormal"), v.binormal);
            pugi::xml_node texcoord = vertex.append_child("texcoord");
            texcoord.append_attribute("u") = number(v.u).c_str();
            texcoord.append_attribute("v") = number(v.v).c_str();
        }
        pugi::xml_node name = names.append_child("submeshname");
        name.append_attribute("name") = part.material.c_str();
        name.append_attribute("index") = unsigned(index);
    }
    std::filesystem::create_directories(path.parent_path());
    if (!document.save_file(path.c_str(), "  ")) {
        throw std::runtime_error("could not write " + path.string());
    }
}
