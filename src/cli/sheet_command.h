#pragma once

#include <string>
#include <vector>

// `cbeam-cli sheet FILE OUT.pdf`: args are everything after the word
// "sheet"; returns the process exit code.
int SheetCommand(const std::vector<std::string>& args);
