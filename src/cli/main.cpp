#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#ifdef CBEAM_CLI_DRAW
#include "cli/draw_command.h"
#include "cli/sheet_command.h"
#endif
#include "version/version.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "cbeam-cli " << cbeam::kVersion << '\n';
        return std::cout.flush() ? 0 : 2;
    }
#ifdef CBEAM_CLI_DRAW
    if (!args.empty() && args[0] == "draw") {
        return DrawCommand(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (!args.empty() && args[0] == "sheet") {
        return SheetCommand(std::vector<std::string>(args.begin() + 1, args.end()));
    }
#endif
    return cbeam::cli::Run(args, std::cout, std::cerr);
}
