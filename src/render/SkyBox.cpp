#include "render/SkyBox.h"

#include <GL/glew.h>

#include "render/GlSavedState.h"
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
    const GlSavedState saved(GlSavedState::Program | GlSavedState::MatrixMode | GlSavedState::Textures |
                                 GlSavedState::Colour | GlSavedState::Depth,
                             {GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_STENCIL_TEST, GL_SCISSOR_TEST,
                              GL_TEXTURE_2D});
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
