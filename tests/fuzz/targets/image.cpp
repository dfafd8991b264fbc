// Images through the texture loader's decoding, without OpenGL: the bytes as
// each of the common image types, then the compressed levels or the pixels an
// upload would take.
#include <IL/il.h>

#include "FuzzSupport.h"
#include "render/TextureLoader.h"

// The image library's PNG reader keeps the rows it allocated when a damaged file ends its
// read, and its DDS reader the mipmaps it had added when a later one fails.
VORN_FUZZ_FULL_ALLOCATION_STACKS
extern "C" const char* __lsan_default_suppressions() {
    return "leak:readpng_get_image\nleak:ReadMipmaps\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    TextureLoader::getInstance(); // the image library set up as the game sets it up
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const char* name : {"fuzz.png", "fuzz.dds", "fuzz.tga", "fuzz.jpg", "fuzz.bmp"}) {
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        if (TextureLoader::decodeImage(name, data, size)) {
            if (ilGetInteger(IL_DXTC_DATA_FORMAT) != IL_DXT_NO_COMP) {
                for (const TextureLoader::CompressedLevel& level : TextureLoader::compressedLevels()) {
                    Fuzz::touch(level.blocks.data(), level.blocks.size());
                }
            }
            const unsigned char* pixels = TextureLoader::uploadablePixels();
            const std::size_t bytes = static_cast<std::size_t>(ilGetInteger(IL_IMAGE_WIDTH)) *
                                      ilGetInteger(IL_IMAGE_HEIGHT) * ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
            if (pixels) {
                Fuzz::touch(pixels, bytes);
            }
        }
        ilDeleteImages(1, &image);
        while (ilGetError() != IL_NO_ERROR) {
        }
    }
    return 0;
}
