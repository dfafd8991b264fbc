#include "render/LightSource.h"

#include "render/LightManager.h"

LightSource::LightSource(float radius, float x, float y, float z, int index, float r, float g, float b,
                         float a)
    : radius(radius), x(x), y(y), z(z), r(r), g(g), b(b), a(a), index(index) {}

LightSource::~LightSource() {
    LightManager::forget(this);
}
