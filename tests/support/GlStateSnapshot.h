#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// The OpenGL state one drawer could leave behind for the next, read from the
// current context without changing it:
//
//     const GlStateSnapshot before;
//     model.render(nullptr);
//     EXPECT_EQ(GlStateSnapshot().changesSince(before, GlStateSnapshot::kSetBeforeUse), "");
class GlStateSnapshot {
public:
    GlStateSnapshot();

    // One line per entry that differs and is not ignored: "name: before -> now".
    std::string changesSince(const GlStateSnapshot& earlier, const std::set<std::string>& ignored = {}) const;

    // Texture bindings and client pointers: a model drawer sets them for itself
    // before every use, so it may leave them changed.
    static const std::set<std::string> kSetBeforeUse;

    std::map<std::string, std::vector<double>> values;
};
