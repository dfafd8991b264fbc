#pragma once

// Sets a flag for the scope of a test and restores it, e.g. a capability the
// driver is to pretend it lacks.
class FlagOverride {
public:
    FlagOverride(bool& flag, bool value) : flag(flag), saved(flag) { flag = value; }
    ~FlagOverride() { flag = saved; }
    FlagOverride(const FlagOverride&) = delete;
    FlagOverride& operator=(const FlagOverride&) = delete;

private:
    bool& flag;
    bool saved;
};
