// Mesh loading on a generated 100,000-face mesh whose quads each have vertices
// of their own (as texture seams leave them): XML parse, edge analysis, cache
// write and read, and how much faster a cached loadModel is than an uncached one.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "NaiveEdgeAnalysis.h"
#include "model/EdgeAnalysis.h"
#include "model/ModelCache.h"
#include "model/MeshLoader.h"
#include "model/XMLNode.h"

namespace {

struct Quad {
    float corners[4][3];
};

// A wavy sheet of columns x rows quads, two faces each.
std::vector<Quad> sheet(int columns, int rows) {
    std::vector<Quad> quads;
    quads.reserve(static_cast<std::size_t>(columns * rows));
    const auto height = [](int x, int y) { return static_cast<float>((x * 7 + y * 13) % 5) * 0.1f; };
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const int offsets[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            Quad quad;
            for (int i = 0; i < 4; ++i) {
                const int cx = x + offsets[i][0];
                const int cy = y + offsets[i][1];
                quad.corners[i][0] = static_cast<float>(cx);
                quad.corners[i][1] = static_cast<float>(cy);
                quad.corners[i][2] = height(cx, cy);
            }
            quads.push_back(quad);
        }
    }
    return quads;
}

void writeMeshXml(const std::vector<Quad>& quads, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fprintf(file,
                 "<mesh><submeshes><submesh material=\"Ground\" usesharedvertices=\"false\">\n"
                 "<faces count=\"%zu\">\n",
                 quads.size() * 2);
    for (std::size_t q = 0; q < quads.size(); ++q) {
        const std::size_t v = q * 4;
        std::fprintf(file,
                     "<face v1=\"%zu\" v2=\"%zu\" v3=\"%zu\"/>\n<face v1=\"%zu\" v2=\"%zu\" v3=\"%zu\"/>\n",
                     v, v + 1, v + 2, v, v + 2, v + 3);
    }
    std::fprintf(file,
                 "</faces>\n<geometry vertexcount=\"%zu\">\n"
                 "<vertexbuffer positions=\"true\" normals=\"true\" texture_coords=\"1\">\n",
                 quads.size() * 4);
    for (const Quad& quad : quads) {
        for (const auto& corner : quad.corners) {
            std::fprintf(
                file,
                "<vertex><position x=\"%.9g\" y=\"%.9g\" z=\"%.9g\"/><normal x=\"0\" y=\"0\" z=\"1\"/>"
                "<texcoord u=\"%.9g\" v=\"%.9g\"/></vertex>\n",
                corner[0], corner[1], corner[2], corner[0] * 0.1f, corner[1] * 0.1f);
        }
    }
    std::fprintf(file, "</vertexbuffer>\n</geometry>\n</submesh>\n</submeshes>\n</mesh>\n");
    std::fclose(file);
}

// The records of a sheet without edges, as the XML loader leaves them before the analysis.
std::unique_ptr<OgreModelMesh> records(const std::vector<Quad>& quads) {
    auto mesh = std::make_unique<OgreModelMesh>();
    auto* submesh = new OgreModelSubmesh();
    mesh->submeshes["ground"] = submesh;
    submesh->geometry = new OgreModelGeometry();
    auto* buffer = new OgreModelVertexbuffer();
    submesh->geometry->vertexBuffers.push_back(buffer);
    for (const Quad& quad : quads) {
        OgreModelVertex* corners[4];
        for (int i = 0; i < 4; ++i) {
            corners[i] = new OgreModelVertex();
            corners[i]->index = static_cast<int>(buffer->vertices.size());
            corners[i]->position = new OgreModelVertexPosition();
            corners[i]->position->position = {quad.corners[i][0], quad.corners[i][1], quad.corners[i][2]};
            buffer->vertices.push_back(corners[i]);
        }
        for (const auto& [a, b, c] : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
            auto* face = new OgreModelFace();
            face->index = static_cast<int>(submesh->faces.size());
            face->v1 = corners[a];
            face->v2 = corners[b];
            face->v3 = corners[c];
            submesh->faces.push_back(face);
        }
    }
    return mesh;
}

// The generated files, made once for all benchmarks.
struct Files {
    Files() : folder(std::filesystem::temp_directory_path() / "vorn-model-bench") {
        std::filesystem::create_directories(folder);
        quads = sheet(250, 200);
        writeMeshXml(quads, xmlPath());
    }
    ~Files() { std::filesystem::remove_all(folder); }

    std::string meshPath() const { return (folder / "ground.mesh").string(); }
    std::string xmlPath() const { return meshPath() + ".xml"; }
    std::string cachePath() const { return meshPath() + ".vorm"; }

    std::filesystem::path folder;
    std::vector<Quad> quads;
};

Files& files() {
    static Files generated;
    return generated;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void XmlParse(benchmark::State& state) {
    const std::string xmlPath = files().xmlPath(); // generated before the clock runs
    for (auto _ : state) {
        benchmark::DoNotOptimize(XMLNode::parseFile(xmlPath, "mesh"));
    }
}

void XmlToRecordsWithEdges(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<OgreModel> model(MeshLoader().loadXMLModel("", files().xmlPath()));
        delete model->mesh;
    }
}

template <void (*Analyse)(OgreModelMesh&)> void EdgeAnalysisOf(benchmark::State& state) {
    const std::vector<Quad> quads(files().quads.begin(), files().quads.begin() + state.range(0) / 2);
    for (auto _ : state) {
        state.PauseTiming();
        auto mesh = records(quads);
        state.ResumeTiming();
        Analyse(*mesh);
    }
    state.counters["faces"] = static_cast<double>(state.range(0));
}

void FastEdges(OgreModelMesh& mesh) {
    EdgeAnalysis::calcEdges(mesh);
}
void NaiveEdges(OgreModelMesh& mesh) {
    naiveCalcEdges(mesh);
}

void CacheWrite(benchmark::State& state) {
    std::unique_ptr<OgreModel> model(MeshLoader().loadXMLModel("", files().xmlPath()));
    for (auto _ : state) {
        ModelCache::saveModel(*model, files().cachePath());
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(files().cachePath())) / 1e6;
    delete model->mesh;
}

void CacheRead(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<OgreModel> model(ModelCache::loadModelCache("", files().cachePath()));
        delete model->mesh;
    }
}

// loadModel with and without a current cache file, each on a fresh loader.
void CachedLoadModelSpeedup(benchmark::State& state) {
    const auto loadOnce = [] {
        MeshLoader loader;
        std::unique_ptr<OgreModel> model(loader.loadModel(files().meshPath()));
    };
    for (auto _ : state) {
        std::filesystem::remove(files().cachePath());
        const double uncached = secondsOf(loadOnce);
        const double cached = secondsOf(loadOnce);
        state.SetIterationTime(cached);
        state.counters["uncached_s"] = uncached;
        state.counters["cached_s"] = cached;
        state.counters["speedup"] = uncached / cached;
    }
}

} // namespace

BENCHMARK(XmlParse)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(XmlToRecordsWithEdges)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_TEMPLATE(EdgeAnalysisOf, FastEdges)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(EdgeAnalysisOf, NaiveEdges)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CacheWrite)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CacheRead)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CachedLoadModelSpeedup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
