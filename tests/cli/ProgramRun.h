#pragma once

#include <chrono>
#include <string>
#include <vector>

// What a finished program left behind.
struct ProgramResult {
    int exitStatus = -1; // -1 when it did not end normally (killed, or could not start)
    std::string out;
    std::string err;
};

// Runs program with args, stdin empty, and collects its output. A program still running
// after the limit is killed.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::seconds limit = std::chrono::seconds(60));
// The same with the program's standard output on outFd (a full device, a pipe no one reads);
// `out` stays empty.
ProgramResult RunProgramWithOutput(const std::string& program, const std::vector<std::string>& args,
                                   int outFd,
                                   std::chrono::seconds limit = std::chrono::seconds(60));

// The same with the files the program writes limited to `fileSizeLimit` bytes (SIGXFSZ
// ignored): a write past the limit fails as on a full disk. The limit holds for the collected
// output too.
ProgramResult RunProgramWithFileSizeLimit(const std::string& program,
                                          const std::vector<std::string>& args,
                                          size_t fileSizeLimit,
                                          std::chrono::seconds limit = std::chrono::seconds(60));

// The program built into CALORA_TEST_BIN ("" when the variable is not set).
std::string TestBinary(const std::string& name);
// Full path of a program found on PATH, or "".
std::string FindOnPath(const std::string& name);
