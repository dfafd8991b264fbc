#pragma once

#include <cstdint>
#include <vector>

#include "physics/FluidParticle.h"

struct PhysicsFluidDesc;

// Pressure and viscosity between the particles of a fluid, from smoothing kernels
// of the fluid's kernel radius; neighbours are found on a uniform grid of cells
// one kernel radius wide.
class SmoothedParticleSolver {
public:
    // Writes each particle's density and flags the ones without neighbours; fills
    // `accelerations` with the acceleration each particle gets from its neighbours.
    void solve(std::vector<FluidParticle>& particles, const PhysicsFluidDesc& desc,
               std::vector<btVector3>& accelerations);

private:
    struct Entry {
        std::uint64_t cell;
        std::uint32_t particle;
    };

    void buildGrid(const std::vector<FluidParticle>& particles);
    std::uint64_t cellOf(const btVector3& position) const;
    template <typename Visit> void forNeighbours(const btVector3& position, Visit&& visit) const;

    float cellSize = 1.0f;
    std::vector<Entry> grid; // sorted by cell
};
