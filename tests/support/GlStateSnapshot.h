#pragma once

#include <map>
#include <string>
#include <vector>

// The OpenGL state a drawer must leave as it found it: enables, client arrays and
// their pointers, colour, bindings, matrices and their stacks, blending.
class GlStateSnapshot {
public:
    static GlStateSnapshot take();

    // One line per value that differs, "name: before -> after"; empty when equal.
    std::string differences(const GlStateSnapshot& after) const;

private:
    std::map<std::string, std::vector<double>> values;
};
