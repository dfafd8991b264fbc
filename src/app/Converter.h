#pragma once

#include <string>

// Converter mode: converts every file named on the command line, then waits for Enter.
void converter(int argc, char** argv);

// One mesh XML file "<base>.xml" becomes the model cache "<base>.vorm".
void convertVORM(const std::string& path);

// Checks a level: its scene and material files as the game reads them, and the
// cache of every mesh it names, built as for a mesh XML argument.
void checkScene(const std::string& path);

// One image becomes a DXT-compressed "<base>.dds", asking for mipmaps and the format.
void convertDDS(const std::string& path);
