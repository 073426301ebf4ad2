#include "cli/draw_command.h"

#include <cstdio>

int DrawCommand(const std::vector<std::string>& /*args*/) {
    std::fputs("draw: 尚未提供\n", stderr);
    return 1;
}
