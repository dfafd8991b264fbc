#pragma once

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

private:
    Controls& controls;
};
