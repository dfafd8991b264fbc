#include "NaiveEdgeAnalysis.h"

#include <algorithm>

#include "model/EdgeAnalysis.h"

namespace {

OgreModelVertex* corner(OgreModelFace* face, int side) {
    return side == 0 ? face->v1 : side == 1 ? face->v2 : face->v3;
}

OgreModelEdge*& slot(OgreModelFace* face, int side) {
    return side == 0 ? face->edge1 : side == 1 ? face->edge2 : face->edge3;
}

bool holds(OgreModelFace* face, OgreModelVertex* vertex) {
    return face->v1 == vertex || face->v2 == vertex || face->v3 == vertex;
}

void findEdges(OgreModelSubmesh& submesh) {
    for (OgreModelFace* face : submesh.faces) {
        for (int side = 0; side < 3; ++side) {
            OgreModelVertex* a = corner(face, side);
            OgreModelVertex* b = corner(face, (side + 1) % 3);
            OgreModelEdge* found = nullptr;
            for (OgreModelEdge* edge : submesh.edges) {
                if ((edge->v1 == a && edge->v2 == b) || (edge->v1 == b && edge->v2 == a)) {
                    found = edge;
                    break;
                }
            }
            if (!found) {
                found = new OgreModelEdge();
                found->index = static_cast<int>(submesh.edges.size());
                found->v1 = a;
                found->v2 = b;
                found->face1 = face;
                for (OgreModelFace* other : submesh.faces) {
                    if (other != face && holds(other, a) && holds(other, b)) {
                        found->face2 = other;
                        break;
                    }
                }
                submesh.edges.push_back(found);
            }
            slot(face, side) = found;
        }
    }
}

bool weldable(const OgreModelEdge* i, const OgreModelEdge* j) {
    return (EdgeAnalysis::samePosition(j->v1, i->v1) && EdgeAnalysis::samePosition(j->v2, i->v2)) ||
           (EdgeAnalysis::samePosition(j->v2, i->v1) && EdgeAnalysis::samePosition(j->v1, i->v2));
}

void weldEdges(OgreModelSubmesh& submesh) {
    std::vector<OgreModelEdge*>& edges = submesh.edges;
    std::vector<OgreModelEdge*> recorded;
    for (OgreModelEdge* i : edges) {
        if (i->face2) {
            continue;
        }
        for (OgreModelEdge* j : edges) {
            if (j == i || j->face2 || !weldable(i, j)) {
                continue;
            }
            i->face2 = j->face1;
            j->face2 = i->face1;
            for (int side = 0; side < 3; ++side) {
                if (slot(j->face1, side) == j) {
                    slot(j->face1, side) = i;
                }
            }
            recorded.push_back(j);
        }
    }
    std::sort(recorded.begin(), recorded.end(),
              [](const OgreModelEdge* a, const OgreModelEdge* b) { return a->index < b->index; });
    for (auto j = recorded.rbegin(); j != recorded.rend(); ++j) {
        edges.erase(edges.begin() + (*j)->index);
        delete *j;
    }
}

} // namespace

void naiveCalcEdges(OgreModelMesh& mesh) {
    for (const auto& [name, submesh] : mesh.submeshes) {
        findEdges(*submesh);
        weldEdges(*submesh);
    }
    EdgeAnalysis::checkCracksAndWinding(mesh);
}
