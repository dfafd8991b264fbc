#include "model/OgreModelKeyframe.h"

OgreModelKeyframe::~OgreModelKeyframe() {
    for (OgreModelVertexPosition* position : positions) {
        delete position;
    }
}
