#include "CliArgs.h"
#include "CliCommands.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
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
        return kExitOk;
    }
    return RunCliCommand(parsed.options, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
