// mailconduit: the command a person runs to synchronise the handheld with the desktop.
#include <iostream>
#include <unistd.h>

#include "commands/Commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    conduit::CommandContext context{std::cout, std::cerr, std::cin, ::isatty(STDIN_FILENO) == 1,
                                    ::isatty(STDERR_FILENO) == 1};
    int status = conduit::runMailConduit(args, context);
    std::cout.flush();
    return status;
}
