#pragma once

#include <memory>

#include <array>
#include <string>
#include <vector>

#include "model/OgreModelMesh.h"

// A triangle mesh as plain data: one position per vertex object, faces as
// vertex ordinals in winding order.
struct MeshData {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<int, 3>> faces;
};

// A closed cube of half size 1 wound counter-clockwise seen from outside, with
// its eight corners shared, or with four vertices of its own per side.
MeshData sharedCube();
MeshData splitCube();

// A torus grid with the faults real exports have, each chosen at random:
// quads with split vertices (seams), vertices moved by one float step (cracks),
// missing faces (holes), flipped faces, doubled faces, and shuffled face order.
struct MeshFaults {
    double split = 0.3;
    double nudge = 0.02;
    double hole = 0.02;
    double flip = 0.02;
    double duplicate = 0.01;
};
MeshData randomTorus(unsigned seed, int rings, int segments, const MeshFaults& faults);

// The records of `data` as one submesh "submesh_0" with its own geometry; the caller owns the mesh.
OgreModelMesh* buildMesh(const MeshData& data);

// buildMesh with its edges analysed and its vertex arrays built.
std::unique_ptr<OgreModelMesh> buildMeshWithArrays(const MeshData& data);

// buildMeshWithArrays with what lighting and shadows need besides: face normals
// as the loader computes them, vertex normals averaged over the faces around
// each vertex, and the bounding radius.
std::unique_ptr<OgreModelMesh> buildShadedMesh(const MeshData& data);

// Every position scaled per axis, then moved by `offset`.
MeshData transformed(MeshData data, const std::array<float, 3>& scale, const std::array<float, 3>& offset);

// `data` as mesh XML: one submesh with its own geometry, positions written exactly.
std::string meshXml(const MeshData& data, const std::string& material = "Stone");
