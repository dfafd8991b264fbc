#pragma once

// The process-wide single instance of a manager: created on first use, destroyed
// explicitly in the shutdown order. A class with a private constructor names
// Singleton<itself> as a friend.
template <typename T> class Singleton {
public:
    static T* getInstance() {
        if (!instance) {
            instance = new T();
        }
        return instance;
    }
    static void destroy() {
        delete instance;
        instance = nullptr;
    }
    // The instance if there is one, without creating it.
    static T* existingInstance() { return instance; }

protected:
    Singleton() = default;
    ~Singleton() = default;

private:
    static inline T* instance = nullptr;
};
