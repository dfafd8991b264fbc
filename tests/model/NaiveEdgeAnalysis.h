#pragma once

#include "model/OgreModelMesh.h"

// The plain quadratic edge search and weld, step by step as the game first did
// it; the reference the hash-map analysis must match exactly.
void naiveCalcEdges(OgreModelMesh& mesh);
