// Writes the sample simulator folder: sample_simulator <folder>.

#include <exception>
#include <iostream>

#include "support/sample_simulator.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <folder>\n";
        return 2;
    }
    try {
        for (const auto& replay : fixture::WriteSampleSimulator(argv[1])) std::cout << replay.string() << '\n';
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
