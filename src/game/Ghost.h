#pragma once

#include <vector>

#include "game/Replay.h"
#include "render/Vector3.h"

// The best finished run of a level, shown as a translucent ball while the player
// plays it. It only follows the recorded path by the steps of the run being played:
// it has no body and meets nothing.
class Ghost {
public:
    // A little larger than the ball's 1: a run level with the best one wears it as a pale shell.
    static constexpr float kRadius = 1.1f;
    static constexpr float kAlpha = 0.35f;

    // The path of the recorded run, samples in order of their steps.
    explicit Ghost(std::vector<ReplayBall> path);

    // Where the recorded ball was `step` steps into its run: between two samples on the
    // line from one to the other, before the first at the first, after the last at the last.
    Vector3 positionAt(float step) const;
    // Follows the run being played, one step at a time.
    void advance() { ++steps; }
    float stepsTaken() const { return static_cast<float>(steps); }
    bool empty() const { return path.empty(); }

    // The translucent ball at its place after the steps taken.
    void draw() const;

private:
    std::vector<ReplayBall> path;
    unsigned steps = 0;
};
