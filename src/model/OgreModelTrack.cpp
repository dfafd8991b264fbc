#include "model/OgreModelTrack.h"

OgreModelTrack::~OgreModelTrack() {
    for (OgreModelKeyframe* keyframe : keyframes) {
        delete keyframe;
    }
}
