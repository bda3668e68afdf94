// Writes the completion files of the velmora command into the folder named on the command line,
// for the build to install them.
#include <cstdio>
#include <fstream>

#include "command_completion.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (Shell shell : {Shell::kBash, Shell::kZsh, Shell::kFish}) {
        std::string path = std::string(argv[1]) + "/" + CommandCompletionFileName(shell);
        std::ofstream file(path);
        file << CommandCompletionFile(shell);
        if (!file.flush()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
