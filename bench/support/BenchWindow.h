#pragma once

// A hidden window of the given size with its GL context current, the extensions
// loaded and the driver's abilities known. The GL managers go with it, before the
// context they hold names in.
class BenchWindow {
public:
    BenchWindow(int width, int height);
    ~BenchWindow();

    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // False without a display.
    bool isOpen() const { return open; }

private:
    bool open = false;
};
