#pragma once

// The game's version, as the build names it ("0.1.0").
const char* gameVersion();
