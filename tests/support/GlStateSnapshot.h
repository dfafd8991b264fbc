#pragma once

#include <string>
#include <vector>

// The OpenGL state a drawer may touch, read at one moment, so a test can check
// that drawing leaves everything as it found it:
//   const GlStateSnapshot before; draw(); EXPECT_EQ(before.differencesTo(GlStateSnapshot()), none);
class GlStateSnapshot {
public:
    GlStateSnapshot();

    // One line per value that differs, "NAME: before -> after"; empty when none does.
    std::vector<std::string> differencesTo(const GlStateSnapshot& later) const;

private:
    struct Value {
        std::string name;
        std::vector<double> numbers;
    };

    void readEnabled(const char* name, unsigned capability);
    void readIntegers(const char* name, unsigned parameter, int count = 1);
    void readFloats(const char* name, unsigned parameter, int count);
    void readPointer(const char* name, unsigned parameter);

    std::vector<Value> values;
};
