#include "model/OgreModelAnimation.h"

OgreModelAnimation::~OgreModelAnimation() {
    for (OgreModelTrack* track : tracks) {
        delete track;
    }
}
