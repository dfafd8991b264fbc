#include "model/ShadowVolume.h"

#include "model/SubmeshArrays.h"

namespace {

// The least w of an adjacency entry that has a neighbour behind it.
constexpr float kNeighbourW = 0.001f;

struct Point {
    Vector3 position;
    float w;
};

class Writer {
public:
    explicit Writer(float* out) : out(out) {}

    void vertex(const Vector3& p, float w) {
        out[written * 4] = p.x;
        out[written * 4 + 1] = p.y;
        out[written * 4 + 2] = p.z;
        out[written * 4 + 3] = w;
        ++written;
    }
    void triangle(const Vector3& a, const Vector3& b, const Vector3& c, float w) {
        vertex(a, w);
        vertex(b, w);
        vertex(c, w);
    }
    // The quad from the edge start -> end to infinity.
    void side(const Vector3& start, const Vector3& end) {
        vertex(start, 1.0f);
        vertex(start, 0.0f);
        vertex(end, 1.0f);
        vertex(end, 1.0f);
        vertex(start, 0.0f);
        vertex(end, 0.0f);
    }
    int count() const { return written; }

private:
    float* out;
    int written = 0;
};

Point entryAt(const ShadowVolume::Source& source, std::size_t face, int entry) {
    const std::size_t offset =
        face * SubmeshArrays::kPositionFloatsPerFace + static_cast<std::size_t>(entry) * 4;
    const float* p = source.positions + offset;
    if (!source.nextPositions) {
        return {{p[0], p[1], p[2]}, p[3]};
    }
    const float* q = source.nextPositions + offset;
    const float f = source.blend;
    const auto mix = [f](float a, float b) { return (1.0f - f) * a + f * b; };
    return {{mix(p[0], q[0]), mix(p[1], q[1]), mix(p[2], q[2])}, mix(p[3], q[3])};
}

bool faces(const Vector3& light, const Vector3& point, const Vector3& normal) {
    return (light - point).dot(normal) > 0.0f;
}

} // namespace

int ShadowVolume::build(const Source& source, const Vector3& light, bool zPass, bool robust, float* out,
                        bool ends) {
    Writer writer(out);
    const std::vector<OgreModelFace*>& faceRecords = source.submesh->faces;
    for (std::size_t f = 0; f < faceRecords.size(); ++f) {
        Vector3 corner[3];
        Point across[3];
        for (int k = 0; k < 3; ++k) {
            corner[k] = entryAt(source, f, 2 * k).position;
            across[k] = entryAt(source, f, 2 * k + 1);
        }
        const Vector3 normal = source.nextPositions ? (corner[1] - corner[0]).cross(corner[2] - corner[0])
                                                    : faceRecords[f]->normal;
        const bool front = faces(light, corner[0], normal);
        if (!front && !robust) {
            continue;
        }
        // A face turned away closes its volume with the reversed winding.
        const Vector3& second = front ? corner[1] : corner[2];
        const Vector3& third = front ? corner[2] : corner[1];
        if (!zPass) {
            writer.triangle(corner[0], second, third, 1.0f);
        }
        if (!zPass || ends) {
            writer.triangle(corner[0], third, second, 0.0f);
        }
        // Open edges of a closed-mesh face follow the facing of the last neighbour seen before them.
        Vector3 neighbourNormal = normal;
        for (int k = 0; k < 3; ++k) {
            const Vector3& start = corner[k];
            const Vector3& end = corner[(k + 1) % 3];
            bool extrude = robust;
            if (across[k].w >= kNeighbourW) {
                // The neighbour runs this edge the other way round. Only a silhouette extrudes:
                // the two quads of an edge between faces of one facing would cancel in theory, but
                // split along different diagonals they leave stray pixels counted once.
                neighbourNormal = (start - end).cross(across[k].position - end);
                extrude = faces(light, end, neighbourNormal) != front;
            } else if (faces(light, start, neighbourNormal) != front) {
                extrude = true;
            }
            if (extrude) {
                writer.side(front ? start : end, front ? end : start);
            }
        }
    }
    return writer.count();
}
