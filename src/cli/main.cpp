#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/draw_command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "draw") {
        return DrawCommand(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    return cbeam::cli::Run(args, std::cout, std::cerr);
}
