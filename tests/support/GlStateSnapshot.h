#pragma once

#include <map>
#include <string>
#include <vector>

// The OpenGL state one drawer could leave behind for the next, read from the
// current context without changing it. Left out on purpose: texture bindings,
// materials, client pointers and uniforms, which every drawer sets for itself
// before it uses them.
//
//     const GlStateSnapshot before;
//     model.render(nullptr);
//     EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
class GlStateSnapshot {
public:
    GlStateSnapshot();

    // One line per entry that differs: "name: before -> now".
    std::string changesSince(const GlStateSnapshot& earlier) const;

    std::map<std::string, std::vector<double>> values;
};
