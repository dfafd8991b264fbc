#include "render/SkyBox.h"

#include <GL/glew.h>

#include "render/Matrix44.h"
#include "render/TextureLoader.h"

namespace {

// Each face's view direction and the directions of its texture's right and top
// edges: texture coordinate (u, v) with v down the image looks along
// forward + (2u - 1) right - (2v - 1) up.
struct Face {
    Vector3 forward;
    Vector3 right;
    Vector3 up;
};

constexpr Face kFaces[6] = {
    {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
};

// Well beyond the near plane, and any size looks the same at infinity.
constexpr float kHalfSize = 10.0f;

// Everything the sky changes, put back by the destructor.
class SkyState {
public:
    SkyState() {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
        glGetFloatv(GL_CURRENT_COLOR, colour);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_SCISSOR_TEST);
        glEnable(GL_TEXTURE_2D);
        glDepthMask(GL_FALSE);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glUseProgram(0);
        glMatrixMode(GL_MODELVIEW);
    }
    ~SkyState() {
        glMatrixMode(static_cast<GLenum>(matrixMode));
        glUseProgram(static_cast<GLuint>(program));
        glColor4fv(colour);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
        glDepthMask(depthMask);
        glPopAttrib();
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glActiveTexture(static_cast<GLenum>(activeTexture));
    }
    SkyState(const SkyState&) = delete;
    SkyState& operator=(const SkyState&) = delete;

private:
    GLint program = 0;
    GLint matrixMode = GL_MODELVIEW;
    GLint activeTexture = GL_TEXTURE0;
    GLint texture = 0;
    GLint environment = GL_MODULATE;
    GLfloat colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    GLboolean depthMask = GL_TRUE;
};

void drawFace(const Face& face) {
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& [u, v] : corners) {
        const Vector3 p =
            (face.forward + face.right * (2.0f * u - 1.0f) - face.up * (2.0f * v - 1.0f)) * kHalfSize;
        glTexCoord2f(u, v);
        glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
}

} // namespace

SkyBox::SkyBox(const std::string& name)
    : textures{"../textures/" + name + "/front.dds", "../textures/" + name + "/right.dds",
               "../textures/" + name + "/back.dds",  "../textures/" + name + "/left.dds",
               "../textures/" + name + "/top.dds",   "../textures/" + name + "/bottom.dds"} {}

void SkyBox::addTextures() const {
    for (const std::string& texture : textures) {
        TextureLoader::getInstance()->addTexture(texture, GL_CLAMP_TO_EDGE);
    }
}

void SkyBox::draw() const {
    const SkyState state;
    // The view's rotation only: the box stays centred on the eye.
    Matrix44 view;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    view.at(0, 3) = view.at(1, 3) = view.at(2, 3) = 0.0f;
    glPushMatrix();
    glLoadMatrixf(view.m);
    TextureLoader* loader = TextureLoader::getInstance();
    for (std::size_t face = 0; face < textures.size(); ++face) {
        if (missing[face]) {
            continue;
        }
        const TextureLoader::Texture* texture = loader->getTexture(textures[face]);
        if (!texture || !texture->glId) {
            missing[face] = true; // asked once, not again every frame
            continue;
        }
        glBindTexture(GL_TEXTURE_2D, *texture->glId);
        drawFace(kFaces[face]);
    }
    glPopMatrix();
}
