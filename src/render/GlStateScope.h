#pragma once

#include <GL/glew.h>

// Saves the colour, the enables, the bound 2D texture, the matrix mode and the
// client arrays on entry and puts them back on exit, so a 2D drawer can set what
// it needs and still leave the state as it found it.
class GlStateScope {
public:
    GlStateScope();
    ~GlStateScope();
    GlStateScope(const GlStateScope&) = delete;
    GlStateScope& operator=(const GlStateScope&) = delete;

private:
    GLint texture = 0;
    GLint arrayBuffer = 0;
};
