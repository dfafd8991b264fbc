#pragma once

#include <GL/glew.h>
#include <vector>

// OpenGL state a drawer is about to change, saved when made and put back when
// it goes: the one way every drawer leaves the state as it found it. A drawer
// names the pieces it changes and the capabilities it switches.
//
//     const GlSavedState saved(GlSavedState::Colour | GlSavedState::Depth, {GL_LIGHTING, GL_BLEND});
class GlSavedState {
public:
    enum Piece : unsigned {
        // The current colour, and colour tracking with its face and property.
        Colour = 1u << 0,
        MatrixMode = 1u << 1,
        // The active and client-active units (unit 0 is active afterwards), and on
        // unit 0 the 2D and 3D bindings and the texture environment mode.
        Textures = 1u << 2,
        // The array buffer binding; no buffer is bound afterwards, so client
        // pointers address memory.
        ArrayBuffer = 1u << 3,
        Program = 1u << 4,
        // Source and destination factors, colour and alpha.
        Blending = 1u << 5,
        // Depth writes and the depth function.
        Depth = 1u << 6,
        ColourMask = 1u << 7,
        // Functions, references, masks and operations of both faces, and the clear value.
        Stencil = 1u << 8,
        ScissorBox = 1u << 9,
        // The depth-bounds range, where the driver has the test.
        DepthBounds = 1u << 10,
        CullFaceMode = 1u << 11,
        UnpackAlignment = 1u << 12,
        // Client array enables and pointers.
        ClientArrays = 1u << 13,
    };

    // What a 2D drawer of the overlay changes besides the texturing it switches.
    static constexpr unsigned kOverlay = Colour | MatrixMode | Textures | ArrayBuffer | ClientArrays;

    GlSavedState(unsigned pieces, const std::vector<GLenum>& capabilities = {});
    ~GlSavedState();
    GlSavedState(const GlSavedState&) = delete;
    GlSavedState& operator=(const GlSavedState&) = delete;

private:
    struct Capability {
        GLenum name;
        bool on;
    };

    bool has(Piece piece) const { return (pieces & piece) != 0; }
    void saveTextures();
    void restoreTextures() const;
    void saveStencil();
    void restoreStencil() const;
    void restoreColour() const;

    unsigned pieces;
    std::vector<Capability> capabilities;
    bool depthBoundsSupported = false;
    GLfloat colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    bool colourTracking = false;
    GLint trackedFace = GL_FRONT_AND_BACK;
    GLint trackedProperty = GL_AMBIENT_AND_DIFFUSE;
    GLint matrixMode = GL_MODELVIEW;
    GLint activeTexture = GL_TEXTURE0;
    GLint clientActiveTexture = GL_TEXTURE0;
    GLint texture2D = 0;
    GLint texture3D = 0;
    GLint environmentMode = GL_MODULATE;
    GLint arrayBuffer = 0;
    GLint program = 0;
    GLint blend[4] = {GL_ONE, GL_ZERO, GL_ONE, GL_ZERO}; // source and destination, colour then alpha
    GLboolean depthMask = GL_TRUE;
    GLint depthFunction = GL_LESS;
    GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLint stencilFunction[2] = {};
    GLint stencilReference[2] = {};
    GLint stencilMask[2] = {};
    GLint stencilOperations[2][3] = {};
    GLint stencilClear = 0;
    GLint scissorBox[4] = {};
    GLdouble depthBounds[2] = {0.0, 1.0};
    GLint cullFaceMode = GL_BACK;
    GLint unpackAlignment = 4;
};
