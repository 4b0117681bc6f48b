// Writes the sample simulator folder: sample_simulator <folder> [--configure].
// With --configure the folder also becomes the simulator folder of the
// settings store (OSTREVAN_CONFIG_DIR names it for a trial run).

#include <exception>
#include <iostream>
#include <string>

#include "settings/settings.h"
#include "support/sample_simulator.h"

int main(int argc, char** argv) {
    const bool configure = argc == 3 && std::string(argv[2]) == "--configure";
    if (argc != 2 && !configure) {
        std::cerr << "usage: " << argv[0] << " <folder> [--configure]\n";
        return 2;
    }
    try {
        for (const auto& replay : fixture::WriteSampleSimulator(argv[1])) std::cout << replay.string() << '\n';
        if (configure) {
            Settings settings;
            settings.Load();
            settings.SetQELDirectory(argv[1]);
            if (!settings.Save()) {
                std::cerr << "the settings could not be saved\n";
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
