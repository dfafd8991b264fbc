#pragma once

#include <functional>
#include <string>
#include <vector>

#include "render/Matrix44.h"
#include "render/Vector3.h"

class LightSource;
class OgreModel;
class PassState;

// One drawable of a level with what its entity says about it.
struct SceneObject {
    OgreModel* model = nullptr;
    bool transparent = false; // the entity name holds "(t)"
    bool receiveShadows = true;
    bool castShadows = true;
};

// The passes that draw one frame of a level around the model drawing: with
// shadows, an ambient pass and then per light a stencil count of the shadow
// volumes and the light added where none counted; without, every light at once.
// The level hands its objects in node order and its own test whether the
// segment between two points is blocked; the camera's view is already loaded.
class SceneRenderer {
public:
    using SegmentTest = std::function<bool(const Vector3& from, const Vector3& to)>;

    // What the driver offers the passes.
    struct Capabilities {
        bool geometryShader = false;
        bool depthBounds = false;
        bool twoSidedStencil = false;
    };
    // Draws a torch's or the main character's particles.
    struct ParticleSource {
        Vector3 position;
        float radius = 0.0f;
        std::function<void()> draw;
    };

    // The capabilities the driver reported at start-up.
    SceneRenderer();
    explicit SceneRenderer(const Capabilities& capabilities) : capabilities(capabilities) {}

    // An entity whose name holds "(t)" is drawn after the opaque ones of its group.
    static bool isTransparent(const std::string& entityName);

    void render(const std::vector<SceneObject>& objects, const SegmentTest& segmentBlocked);
    // The main character's particles, then those of each torch whose sphere,
    // grown by 2, reaches into the view.
    void renderParticles(const std::function<void()>& mainCharacter,
                         const std::vector<ParticleSource>& torches) const;

    Capabilities capabilities;
    // The camera's matrices as the shadowed path found them.
    Matrix44 modelView;
    Matrix44 projection;

private:
    struct Groups {
        std::vector<OgreModel*> receivingOpaque;
        std::vector<OgreModel*> receivingTransparent;
        std::vector<OgreModel*> otherOpaque;
        std::vector<OgreModel*> otherTransparent;
        std::vector<OgreModel*> casters; // seen or not, their shadows may be
    };

    static Groups group(const std::vector<SceneObject>& objects, bool culling);
    void renderShadowed(const std::vector<SceneObject>& objects, const SegmentTest& segmentBlocked,
                        PassState& state);
    void renderPlain(const std::vector<SceneObject>& objects, PassState& state) const;
    void renderLight(LightSource& light, const Groups& groups, const SegmentTest& segmentBlocked,
                     PassState& state) const;
    void countShadows(LightSource& light, const std::vector<OgreModel*>& casters, bool zPass,
                      PassState& state) const;
    Vector3 eyePosition() const;
};
