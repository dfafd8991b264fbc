#pragma once

#include <GL/glew.h>
#include <optional>
#include <vector>

#include "render/GlSavedState.h"

class LightSource;
class Shader;
struct LightScissor;

// Every OpenGL state change of the scene passes, in one place. Construction
// saves all that the passes may change; destruction puts it back, so the
// passes leave the state as the frame set it. Attribute locations of the
// surface frame are those of the program current at construction.
class PassState {
public:
    PassState();
    ~PassState();
    PassState(const PassState&) = delete;
    PassState& operator=(const PassState&) = delete;

    // The arrays a model draws from in the array modes: positions, normals,
    // texture coordinates and the surface frame's attributes; or none.
    void drawingArrays(bool enabled);
    // Shadow volumes only need positions.
    void shadowArrays();

    void blendOver();
    void blendAdditive();
    void enableLights(const std::vector<LightSource*>& lights);

    // Around all light passes: stencil test on, lights added on top, and the
    // scissor and depth-bounds tests when they are asked for.
    void beginLightPasses(bool scissor, bool depthBounds);
    void endLightPasses();
    void restrictTo(const LightScissor& bounds);

    // Counting volumes into a cleared stencil buffer, colour and depth untouched.
    void beginStencilCounting();
    // One drawing with different operations for front and back faces.
    void countBothSides(bool zPass);
    // Two drawings, `drawing` 0 and then 1, each with one side culled.
    void countOneSide(bool zPass, int drawing);
    void endStencilCounting();

    // Where no volume counted, add this light.
    void beginLitPass(const LightSource& light);

private:
    // What the passes switch: blending, the stencil, scissor and depth-bounds
    // tests, lighting and every light slot, face culling.
    static std::vector<GLenum> switchedCapabilities();
    static void setEnabled(GLenum capability, bool enabled);

    GlSavedState saved;
    // The colour and depth writes, lighting and culling, while volumes are counted.
    std::optional<GlSavedState> counting;
    GLint tangent = -1;
    GLint binormal = -1;
    Shader* program = nullptr;
    bool vertexArray = false;
    bool normalArray = false;
    bool texcoordArray = false;
    bool tangentArray = false;
    bool binormalArray = false;
    bool blend = false;
    bool depthBoundsSupported = false;
};
