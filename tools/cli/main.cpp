#include "CliArgs.h"
#include "CliCommands.h"
#include "core/Version.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace {

// Output that did not arrive (a full disk, a reader that went away) is a failure, never a
// silent success.
int CheckOutput(int status) {
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    const int error = errno;
    if (!failed)
        return status;
    std::cerr << "calora-cli: cannot write the output"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
    return status == kExitOk ? kExitFailure : status;
}

} // namespace

int main(int argc, char** argv) {
    // A closed pipe then shows as a failed write, which is reported.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CliParseResult parsed = ParseCliArgs(args);
    if (!parsed.Ok()) {
        std::cerr << "calora-cli: " << parsed.error << "\n"
                  << "Try 'calora-cli --help'"
                  << (parsed.options.command != CliCommand::None
                          ? " or 'calora-cli " +
                                std::string(CliCommandName(parsed.options.command)) + " --help'"
                          : std::string())
                  << ".\n";
        return kExitUsage;
    }
    if (parsed.options.help) {
        std::cout << CliUsage(parsed.options.command);
        return CheckOutput(kExitOk);
    }
    if (parsed.options.version) {
        std::cout << "calora-cli " << kCaloraVersion << "\n";
        return CheckOutput(kExitOk);
    }
    return CheckOutput(
        RunCliCommand(parsed.options, std::cout, std::cerr, isatty(STDERR_FILENO) != 0));
}
