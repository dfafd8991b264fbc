#include <iostream>

#include "LayerCheck.h"

// layercheck SOURCE_ROOT: prints every include that breaks the layers and exits 1, or exits 0.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: layercheck SOURCE_ROOT\n";
        return 2;
    }
    const std::vector<std::string> faults = LayerCheck(argv[1]).check();
    for (const std::string& fault : faults) {
        std::cerr << fault << "\n";
    }
    if (faults.empty()) {
        std::cout << "The folders of " << argv[1] << " keep their layers.\n";
    }
    return faults.empty() ? 0 : 1;
}
