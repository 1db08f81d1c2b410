#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/brxzip.h"
#include "platform/hosted/Machine.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string machine;
    if (args.size() >= 2 && args[0] == "--machine") {
        machine = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    try {
        auto platform = machine.empty() ? brx::platform::hosted::openHostRoot()
                                        : brx::platform::hosted::openMachine(machine);
        return brx::app::RunBrxzip(*platform, machine.empty(), args, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "brxzip: " << error.what() << "\n";
        return 1;
    }
}
