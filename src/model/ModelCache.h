#pragma once

#include <string>

#include "model/OgreModel.h"

// The model cache file (".vorm"): a model's whole record tree as a text
// archive, together with the hash of the mesh XML it was built from, followed
// by a checksum line so that a cut or damaged file is never parsed.
class ModelCache {
public:
    // Writes the model to a temporary file beside cachePath and renames it into
    // place, so the real name never holds a half-written cache. False on failure.
    static bool saveModel(const OgreModel& model, const std::string& cachePath);

    // Reads a model; its hash must equal expectedHash unless that is empty.
    // A cache of another version, of other XML content, or one that is damaged
    // raises modelChanged and comes back without a mesh; the caller deletes it.
    static OgreModel* loadModelCache(const std::string& expectedHash, const std::string& cachePath);
    // The same for a cache file's content already in memory; cachePath only names it in the log.
    static OgreModel* loadModelCacheContent(const std::string& expectedHash, std::string content,
                                            const std::string& cachePath);

    // The file content for an archive text: the text and its checksum line.
    static std::string withChecksum(std::string archiveText);

    // Raised by the reader when it rejects a cache; cleared by the caller. Constant
    // initialisation spares other files the check for a per-thread initialiser.
    static constinit thread_local bool modelChanged;

    static constexpr unsigned int kClassVersion = 12;
};
