#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "GlStateSnapshot.h"
#include "SceneFixture.h"
#include "core/ConfigManager.h"
#include "render/SystemInfo.h"

namespace {

struct Point2 {
    float x;
    float z;
};

float cross(const Point2& o, const Point2& a, const Point2& b) {
    return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x);
}

// Counter-clockwise convex hull.
std::vector<Point2> hull(std::vector<Point2> points) {
    std::sort(points.begin(), points.end(),
              [](const Point2& a, const Point2& b) { return a.x < b.x || (a.x == b.x && a.z < b.z); });
    std::vector<Point2> result(points.size() * 2);
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(result[k - 2], result[k - 1], points[i]) <= 0) {
            --k;
        }
        result[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(result[k - 2], result[k - 1], points[i]) <= 0) {
            --k;
        }
        result[k++] = points[i];
    }
    result.resize(k - 1);
    return result;
}

// Distance inside the polygon, negative outside (for points near it, the nearest edge's line).
float depthInside(const std::vector<Point2>& polygon, const Point2& p) {
    float inside = 1e9f;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point2& a = polygon[i];
        const Point2& b = polygon[(i + 1) % polygon.size()];
        const float length = std::hypot(b.x - a.x, b.z - a.z);
        inside = std::min(inside, cross(a, b, p) / length);
    }
    return inside;
}

// Where the box of half size 1 standing on the floor at `centre` shades the floor y = 0.
std::vector<Point2> boxShadow(const Vector3& centre, const Vector3& light) {
    std::vector<Point2> points;
    for (const float x : {-1.0f, 1.0f}) {
        for (const float z : {-1.0f, 1.0f}) {
            points.push_back({centre.x + x, centre.z + z});
            const Vector3 top{centre.x + x, centre.y + 1.0f, centre.z + z};
            const float t = light.y / (light.y - top.y);
            points.push_back({light.x + (top.x - light.x) * t, light.z + (top.z - light.z) * t});
        }
    }
    return hull(points);
}

// A split cube whose first side lies one float step off its neighbours: none of its
// edges weld, so the mesh has cracks, and it looks exactly like the closed cube.
MeshData crackedCube() {
    MeshData data = splitCube();
    for (std::size_t vertex = 0; vertex < 4; ++vertex) {
        data.positions[vertex][0] = std::nextafter(data.positions[vertex][0], 10.0f);
    }
    return data;
}

} // namespace

class SceneShadowTest : public SceneTest {
protected:
    static constexpr float kFloorHalf = 12.0f;

    void placeFloor() {
        place(transformed(splitCube(), {kFloorHalf, 0.25f, kFloorHalf}, {0, 0, 0}), {0, -0.25f, 0});
    }

    // The box on the floor under one point light, seen from above and in front.
    void boxOnFloor(const MeshData& box = splitCube()) {
        placeFloor();
        place(box, kBox);
        addLight(kLight, 40.0f, 0);
        look({0, 9, 13}, {0, 0, 1});
    }

    struct Counts {
        int shadowed = 0;
        int lit = 0;
        int wrong = 0;
    };

    // Floor points well inside or outside `shadow` that the view shows, as dark or bright as they should be.
    Counts classify(const FrameCapture& image, const std::vector<Point2>& shadow, float step = 0.25f) {
        Counts counts;
        for (float x = -6.0f; x <= 6.0f; x += step) {
            for (float z = -6.0f; z <= 6.0f; z += step) {
                const float inside = depthInside(shadow, {x, z});
                if (std::abs(inside) < 0.2f) {
                    continue;
                }
                const std::array<double, 3> at = project({x, 0.0f, z});
                const int px = static_cast<int>(at[0]);
                const int py = static_cast<int>(at[1]);
                if (px < 0 || py < 0 || px >= image.width || py >= image.height ||
                    std::abs(image.depthAtWindow(px, py) - at[2]) > 1e-6) {
                    continue; // off screen or behind the box
                }
                const int red = image.atWindow(px, py)[0];
                if (inside > 0) {
                    ++counts.shadowed;
                    counts.wrong += red < 70 ? 0 : 1;
                } else {
                    ++counts.lit;
                    counts.wrong += red > 100 ? 0 : 1;
                }
            }
        }
        return counts;
    }

    void useVolumes(bool geometry, bool zPass, bool twoSided) {
        setOptions(true, geometry, zPass, true);
        renderer.capabilities.twoSidedStencil = twoSided;
    }

    bool geometryShaders() const { return SystemInfo::getInstance()->geometryShader; }

    const Vector3 kBox{0.5f, 1.0f, 0.0f};
    const Vector3 kLight{2.5f, 6.0f, -2.5f};
};

TEST_F(SceneShadowTest, ABoxOnTheFloorCastsTheShadowOfItsOutline) {
    boxOnFloor();
    const FrameCapture image = frame("shadow-box-on-floor");
    const Counts counts = classify(image, boxShadow(kBox, kLight));
    EXPECT_GT(counts.shadowed, 60);
    EXPECT_GT(counts.lit, 600);
    EXPECT_EQ(counts.wrong, 0);

    setOptions(false, false, true, true);
    const Counts plain = classify(frame("shadow-box-plain"), boxShadow(kBox, kLight));
    EXPECT_EQ(plain.wrong, plain.shadowed) << "without shadows the whole floor is lit";
}

TEST_F(SceneShadowTest, EveryWayOfCountingVolumesDrawsTheSameImage) {
    boxOnFloor();
    useVolumes(false, true, true);
    const FrameCapture reference = frame("shadow-cpu-zpass");
    for (const bool geometry : {false, true}) {
        if (geometry && !geometryShaders()) {
            continue;
        }
        for (const bool zPass : {false, true}) {
            for (const bool twoSided : {true, false}) {
                useVolumes(geometry, zPass, twoSided);
                const std::string name = std::string("shadow-") + (geometry ? "gpu" : "cpu") +
                                         (zPass ? "-zpass" : "-zfail") + (twoSided ? "" : "-one-sided");
                // The blocked segment forces z-fail even with the z-pass option on.
                const FrameCapture image = frame(name, !zPass);
                EXPECT_LE(reference.differingPixels(image), 40) << name;
                EXPECT_EQ(classify(image, boxShadow(kBox, kLight)).wrong, 0) << name;
            }
        }
    }
}

TEST_F(SceneShadowTest, WithTheEyeInsideAShadowVolumeZFailStaysRight) {
    placeFloor();
    // A roof over the eye: the light above it shades the floor under it and around the eye.
    place(transformed(splitCube(), {2.0f, 0.1f, 2.0f}, {0, 0, 0}), {0, 4.0f, 0});
    addLight({0, 8, 0}, 40.0f, 0);
    look({0, 1.5f, 0.5f}, {0, 0, 6});
    const std::vector<Point2> roofShadow = {{-4, -4}, {4, -4}, {4, 4}, {-4, 4}};
    for (const bool geometry : {false, true}) {
        if (geometry && !geometryShaders()) {
            continue;
        }
        useVolumes(geometry, true, true);
        const std::string name = std::string("shadow-eye-inside-") + (geometry ? "gpu" : "cpu");
        const Counts zFail = classify(frame(name, true), roofShadow, 0.2f);
        EXPECT_GT(zFail.shadowed, 15) << name;
        EXPECT_GT(zFail.lit, 30) << name;
        EXPECT_EQ(zFail.wrong, 0) << name;
        // The same with z-pass counting would be wrong: the test can tell.
        const Counts zPass = classify(frame(name + "-zpass", false), roofShadow, 0.2f);
        EXPECT_GT(zPass.wrong, 20) << name;
    }
}

TEST_F(SceneShadowTest, ACrackedMeshInRobustModeShadowsLikeItsClosedTwin) {
    boxOnFloor(crackedCube());
    ASSERT_TRUE(objects.back().model->mesh->hasCracks);
    for (const bool geometry : {false, true}) {
        if (geometry && !geometryShaders()) {
            continue;
        }
        for (const bool zPass : {false, true}) {
            useVolumes(geometry, zPass, true);
            const std::string name =
                std::string("shadow-cracked-") + (geometry ? "gpu" : "cpu") + (zPass ? "-zpass" : "-zfail");
            EXPECT_EQ(classify(frame(name, !zPass), boxShadow(kBox, kLight)).wrong, 0) << name;
        }
    }
}

TEST_F(SceneShadowTest, TheScissorBoxChangesNothingButWhereEachLightIsAdded) {
    placeFloor();
    for (const float x : {-3.0f, 0.5f, 3.5f}) {
        place(splitCube(), {x, 1.0f, -1.5f});
    }
    // The player's light and seven torches: near, far, off to the side and out of view.
    const Vector3 positions[8] = {{0, 6, 4}, {-5, 2, 2},  {5, 2, -4},   {0, 3, -9},
                                  {9, 1, 3}, {-8, 4, -6}, {2, 1.5f, 7}, {0, 2, 30}};
    const float radii[8] = {40, 6, 8, 10, 5, 12, 4, 6};
    for (int slot = 0; slot < 8; ++slot) {
        addLight(positions[slot], radii[slot], slot);
    }
    look({0, 7, 11}, {0, 0, 0});
    for (const bool geometry : {false, true}) {
        setOptions(true, geometry && geometryShaders(), true, false);
        const FrameCapture open = frame(std::string("scissor-off") + (geometry ? "-gpu" : ""));
        setOptions(true, geometry && geometryShaders(), true, true);
        const FrameCapture boxed = frame(std::string("scissor-on") + (geometry ? "-gpu" : ""));
        EXPECT_LE(open.differingPixels(boxed, 3), 10);
    }
}

TEST_F(SceneShadowTest, LightsAddUpWhetherOrNotTransparencyBlendsTheScene) {
    boxOnFloor();
    addLight({-3, 4, 3}, 15.0f, 2);
    look({0, 9, 13}, {0, 0, 1});
    glEnable(GL_BLEND);
    const FrameCapture blended = frame("lights-blend-on");
    glDisable(GL_BLEND);
    const FrameCapture unblended = frame("lights-blend-off");
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_LE(blended.differingPixels(unblended, 2), 0);
}

TEST_F(SceneShadowTest, DrawingALevelLeavesTheStateAsItFoundItInEveryPath) {
    boxOnFloor(crackedCube());
    for (const int renderMode : {0, 1, 2}) {
        ConfigManager::getInstance()->getMainConfig()->renderMode = renderMode;
        for (const bool shadows : {false, true}) {
            for (const bool geometry : {false, true}) {
                setOptions(shadows, geometry && geometryShaders(), !geometry, true);
                const GlStateSnapshot before;
                renderer.render(objects, [](const Vector3&, const Vector3&) { return false; });
                EXPECT_EQ(GlStateSnapshot().changesSince(before, GlStateSnapshot::kSetBeforeUse), "")
                    << "render mode " << renderMode << (shadows ? ", shadows" : "")
                    << (geometry ? ", GPU" : "");
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
