#pragma once

#include <string>
#include <vector>

// `cbeam-cli draw ...`: args are everything after the word "draw"; returns
// the process exit code.
int DrawCommand(const std::vector<std::string>& args);
