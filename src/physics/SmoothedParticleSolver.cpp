#include "physics/SmoothedParticleSolver.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "physics/PhysicsFluidDesc.h"
#include "physics/PhysicsParticle.h"

namespace {

// Cell coordinates are packed 21 bits each, z lowest, so the three cells of a
// column along z are neighbours in the sorted grid.
constexpr int kCellBits = 21;
constexpr std::int64_t kCellBias = std::int64_t{1} << (kCellBits - 1);
constexpr std::int64_t kCellMax = (std::int64_t{1} << kCellBits) - 1;

std::uint64_t packCell(std::int64_t x, std::int64_t y, std::int64_t z) {
    const auto field = [](std::int64_t v) {
        return static_cast<std::uint64_t>(std::clamp<std::int64_t>(v + kCellBias, 0, kCellMax));
    };
    return field(x) << (2 * kCellBits) | field(y) << kCellBits | field(z);
}

std::int64_t unpack(std::uint64_t cell, int shift) {
    return static_cast<std::int64_t>((cell >> shift) & kCellMax) - kCellBias;
}

} // namespace

std::uint64_t SmoothedParticleSolver::cellOf(const btVector3& position) const {
    const auto coordinate = [this](float v) { return static_cast<std::int64_t>(std::floor(v / cellSize)); };
    return packCell(coordinate(position.x()), coordinate(position.y()), coordinate(position.z()));
}

void SmoothedParticleSolver::buildGrid(const std::vector<FluidParticle>& particles) {
    grid.resize(particles.size());
    for (std::size_t i = 0; i < particles.size(); ++i) {
        grid[i] = {cellOf(particles[i].position), static_cast<std::uint32_t>(i)};
    }
    std::sort(grid.begin(), grid.end(), [](const Entry& a, const Entry& b) { return a.cell < b.cell; });
}

template <typename Visit>
void SmoothedParticleSolver::forNeighbours(const btVector3& position, Visit&& visit) const {
    const std::uint64_t home = cellOf(position);
    const std::int64_t x = unpack(home, 2 * kCellBits);
    const std::int64_t y = unpack(home, kCellBits);
    const std::int64_t z = unpack(home, 0);
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
            const std::uint64_t first = packCell(x + dx, y + dy, z - 1);
            const std::uint64_t last = packCell(x + dx, y + dy, z + 1);
            auto entry = std::lower_bound(grid.begin(), grid.end(), first,
                                          [](const Entry& e, std::uint64_t cell) { return e.cell < cell; });
            for (; entry != grid.end() && entry->cell <= last; ++entry) {
                visit(entry->particle);
            }
        }
    }
}

// Poly6 for the density, the spiky gradient for pressure, the viscosity Laplacian.
void SmoothedParticleSolver::solve(std::vector<FluidParticle>& particles, const PhysicsFluidDesc& desc,
                                   std::vector<btVector3>& accelerations) {
    const float h = desc.kernelRadius();
    const float h2 = h * h;
    const float spacing = desc.restSpacing();
    const float mass = desc.restDensity * spacing * spacing * spacing;
    const float pi = std::numbers::pi_v<float>;
    const float poly6 = 315.0f / (64.0f * pi * std::pow(h, 9.0f));
    const float spiky = 45.0f / (pi * std::pow(h, 6.0f));
    cellSize = h;
    buildGrid(particles);

    for (FluidParticle& particle : particles) {
        float density = 0.0f;
        int neighbours = 0;
        forNeighbours(particle.position, [&](std::uint32_t j) {
            const float r2 = (particles[j].position - particle.position).length2();
            if (r2 < h2) {
                const float w = h2 - r2;
                density += mass * poly6 * w * w * w;
                ++neighbours;
            }
        });
        particle.density = density;
        particle.flags |= neighbours <= 1 ? PhysicsParticleFlags::Separated : 0u;
    }

    accelerations.assign(particles.size(), btVector3(0, 0, 0));
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const FluidParticle& self = particles[i];
        const float pressure = desc.stiffness * std::max(0.0f, self.density - desc.restDensity);
        btVector3 force(0, 0, 0);
        forNeighbours(self.position, [&](std::uint32_t j) {
            const FluidParticle& other = particles[j];
            const btVector3 offset = self.position - other.position;
            const float r2 = offset.length2();
            if (j == i || r2 >= h2 || other.density <= 0.0f) {
                return;
            }
            const float r = std::sqrt(r2);
            const float otherPressure = desc.stiffness * std::max(0.0f, other.density - desc.restDensity);
            // Particles on the same spot part along a fixed diagonal, each to its own side.
            const btVector3 away =
                r > 1e-6f ? offset / r : btVector3(0.577f, 0.577f, 0.577f) * (i < j ? 1.0f : -1.0f);
            const float closeness = h - r;
            force += away * (mass * (pressure + otherPressure) / (2.0f * other.density) * spiky * closeness *
                             closeness);
            force += (other.velocity - self.velocity) *
                     (desc.viscosity * mass / other.density * spiky * closeness);
        });
        accelerations[i] = self.density > 0.0f ? force / self.density : btVector3(0, 0, 0);
    }
}
