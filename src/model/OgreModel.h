#pragma once

#include <map>
#include <string>
#include <vector>

#include "audio/SoundBody.h"
#include "model/OgreModelMesh.h"
#include "model/SubmeshPlayback.h"
#include "render/Matrix44.h"
#include "render/Vector3.h"

class Config;
class LightSource;
class PhysicsActor;
class SoundSource;
struct OgreSceneMaterial;

// One placed instance of a mesh and the polymorphic base of every drawable game
// object. The mesh is shared with every other model of the same mesh path and is
// never owned by the model. Matrices are column-major, as OpenGL takes them.
// The materials a scene binds belong to the instance: two levels may paint one mesh differently.
class OgreModel : public SoundBody {
public:
    OgreModel();
    // Copies what a game object keeps of a loaded model: the shared mesh, the
    // strings, the actor, the transform values and the bound materials.
    OgreModel(const OgreModel& other);
    OgreModel& operator=(const OgreModel&) = delete;

    // The virtual operations, in slot order.
    virtual ~OgreModel();
    virtual void playSound();
    virtual void stopSound();
    virtual void reset();
    virtual void renderIfInRange(std::vector<LightSource*> lights);
    virtual void render(LightSource* light);
    virtual void renderShadowVolume(LightSource* light, bool useGeometryShader, bool zPass);
    virtual void setAnimation(const std::string& name);
    virtual void updateAnimation();
    virtual void calcEdges();
    virtual void createVertexArrays();
    virtual PhysicsActor* getActor();
    virtual void setActor(PhysicsActor* newActor);
    virtual void update();
    virtual Matrix44* getModelMatrix();
    virtual void setModelMatrix(Matrix44 matrix);
    virtual Matrix44* getInverseModelMatrix();
    virtual void setInverseModelMatrix(Matrix44 matrix);
    virtual Vector3* getPosition();
    virtual void setPosition(Vector3 vector);
    virtual Vector3* getLinearVelocity();
    virtual void setLinearVelocity(Vector3 vector);
    virtual Vector3* getAngularVelocity();
    virtual void setAngularVelocity(Vector3 vector);
    virtual void applyMaterial(OgreModelSubmesh* submesh);
    virtual void applyAnimationFactor(OgreModelSubmesh* submesh);
    // The light the object carries into a light slot while its level is current; null for most.
    virtual LightSource* ownLight() { return nullptr; }

    // Writes modelMatrix and inverseModelMatrix from an actor's global pose: a
    // row-major 3x3 rotation and a translation. A singular rotation inverts to identity.
    void applyGlobalPose(const float rotation[9], const float translation[3]);

    // The scene material bound to a submesh of this instance, null when none is.
    const OgreSceneMaterial* getMaterial(const OgreModelSubmesh* submesh) const;
    void setMaterial(const OgreModelSubmesh* submesh, const OgreSceneMaterial* material);

    // What picks the collision sound: the profile, and the mass of the actor.
    std::string getSoundProfile() const override { return profile; }
    float getSoundMass() const override;

    OgreModelMesh* mesh = nullptr;
    std::string hash;
    std::string expectedHash; // only while a cache file is read
    std::string profile;
    PhysicsActor* actor = nullptr;
    Matrix44* modelMatrix;        // owned
    Matrix44* inverseModelMatrix; // owned
    Vector3* position;            // owned
    Vector3* linearVelocity;      // owned
    Vector3* angularVelocity;     // owned
    SoundSource* soundSource = nullptr;
    float animationTime = 0.0f;
    std::string currentAnimation;
    // Per submesh with a track of the playing animation, from its first update on.
    std::map<const OgreModelSubmesh*, SubmeshPlayback> playback;
    unsigned int* displayList = nullptr;       // owned OpenGL list name
    unsigned int* shadowDisplayList = nullptr; // owned OpenGL list name
    int listRenderMode = 0;
    int listMipmapMode = 0;
    int listTextureFilter = 0;
    std::map<const OgreModelSubmesh*, const OgreSceneMaterial*> materials; // not owned

    // The shadow volume for one light, ending `reach` world units from the light (0: without end).
    void renderShadowVolumeWithin(LightSource* light, bool useGeometryShader, bool zPass, float reach);

    // The playback of a submesh that the playing animation morphs, or null.
    const SubmeshPlayback* morphOf(const OgreModelSubmesh* submesh) const;
    // The positions with adjacency this model shows for the submesh.
    const float* positionsOf(const OgreModelSubmesh* submesh) const;

private:
    // Calls the display list, compiling it first when the render options changed since.
    void callDisplayList(const Config& options);
    // Uploads what the materials show, so no upload is recorded into a display list.
    void loadTextures();
    void drawSubmeshes();
    // Finds the keyframe segment holding animationTime and refills the positions it needs.
    void advanceTrack(const OgreModelSubmesh& submesh, const OgreModelTrack& track, float length);
    void renderGeometryVolume(const Vector3& lightObject, bool zPass, float reach);
    void drawAdjacencyStreams();
    void renderCpuVolume(const Vector3& lightObject, bool zPass, float reach);
};
