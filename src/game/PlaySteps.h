#pragma once

#include <functional>

class Controls;

// The fixed physics steps of one frame as play runs them. Each fetches the step the
// engine ran meanwhile (the contact and trigger reports run there), lets the current
// level's objects follow their actors, polls the controls and starts the next step.
// Once the state has left play nothing more happens, not even in the step that left
// it: no object moves on, no control is read and no step is started.
class PlaySteps {
public:
    explicit PlaySteps(Controls& controls);

    void run(int steps);

    // Runs before each step's fetch, where what happened between two steps of a
    // recorded run happens again when it is played back.
    std::function<void()> beforeStep;

private:
    Controls& controls;
};
