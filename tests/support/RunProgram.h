#pragma once
// Runs a program to its end with the given input, and collects its exit code and output.

#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1;  // 128 + signal when a signal ended it
    std::string out;
    std::string err;
};

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& input = "");
