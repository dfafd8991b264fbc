#pragma once

#include "core/Singleton.h"

#include <string>

#include "render/TextureLoader.h"

// The 2D overlay over the scene: the HUD during and after play, then the current
// menu, in window pixels with the origin at the top left and y growing downwards.
class Ortho : public Singleton<Ortho> {
    friend class Singleton<Ortho>;

public:
    void render();

    struct Size {
        int width;
        int height;
    };
    // A rectangle in overlay pixels, or the part of a texture in texture coordinates.
    struct Rect {
        float left;
        float top;
        float right;
        float bottom;
    };

    // The window size, each side at least 1.
    static Size windowSize();
    // Binds the texture for the next quads; null when it cannot be loaded.
    static const TextureLoader::Texture* bindTexture(const std::string& name);
    // One untextured quad in the given colour.
    static void fill(const Rect& area, float red, float green, float blue, float alpha);
    // One quad of the bound texture in white, its alpha running from the left edge to the right.
    static void drawTextured(const Rect& area, const Rect& texture, float leftAlpha = 1.0f,
                             float rightAlpha = 1.0f);
    // The whole bound texture with (0, 0) at the top-left corner.
    static void drawImage(const Rect& area);

private:
    Ortho() = default;
};
