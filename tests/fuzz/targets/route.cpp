// Route files as the autopilot reads them: waypoints with finite positions and known
// actions, or the line that is wrong.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "game/Route.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "route: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const std::optional<Route> route = Route::parse(std::string(Fuzz::text(data, size)), error);
    if (!route) {
        if (error.empty()) {
            fail("no route and no reason");
        }
        return 0;
    }
    if (route->waypoints.empty()) {
        fail("a route without waypoints");
    }
    for (const Waypoint& waypoint : route->waypoints) {
        const Vector3& p = waypoint.position;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            fail("a waypoint that is not a finite position");
        }
    }
    return 0;
}
