#pragma once

#include <atomic>
#include <mutex>
#include <typeinfo>

#include "core/ManagerLifetime.h"

// The process-wide single instance of a manager: created on first use, destroyed
// explicitly in the shutdown order. A class with a private constructor names
// Singleton<itself> as a friend. Level-loading threads reach managers too, so
// creation is serialised; after shutdown has begun getInstance creates nothing
// and gives null.
template <typename T> class Singleton {
public:
    static T* getInstance() {
        T* existing = instance.load(std::memory_order_acquire);
        if (existing) {
            return existing;
        }
        const std::lock_guard<std::mutex> lock(creationMutex);
        existing = instance.load(std::memory_order_relaxed);
        if (!existing) {
            if (ManagerLifetime::creationEnded()) {
                ManagerLifetime::reportLateCreation(typeid(T).name());
                return nullptr;
            }
            existing = new T();
            instance.store(existing, std::memory_order_release);
        }
        return existing;
    }
    static void destroy() { delete instance.exchange(nullptr); }
    // The instance if there is one, without creating it.
    static T* existingInstance() { return instance.load(std::memory_order_acquire); }

protected:
    Singleton() = default;
    ~Singleton() = default;

private:
    static inline std::atomic<T*> instance{nullptr};
    static inline std::mutex creationMutex;
};
