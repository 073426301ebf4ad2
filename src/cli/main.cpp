#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/commands.h"
#ifdef CBEAM_CLI_DRAW
#include "cli/draw_command.h"
#include "cli/sheet_command.h"
#endif
#include "text/status.h"
#include "version/version.h"

namespace {

int RunCommand(int argc, char** argv) {
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

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A beam far too large for the machine ends with a reason, not an abort.
    try {
        return RunCommand(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << cbeam::MessageText(cbeam::Status{cbeam::Code::OutOfMemory}) << std::endl;
        return cbeam::cli::kExitMemory;
    }
}
