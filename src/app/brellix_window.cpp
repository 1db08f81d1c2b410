// brellix-window: the window on a machine directory, for trying it out and for the screenshots.
//   brellix-window --machine DIR [--edition 2000|nt] [WORDS...]
#include <iostream>
#include <string>
#include <vector>

#include "app/gui_main.h"
#include "platform/hosted/Machine.h"

int main(int argc, char** argv)
{
    std::string machine;
    const brx::editions::Edition* edition = &brx::editions::Edition::Win2000();
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--machine" && i + 1 < argc)
            machine = argv[++i];
        else if (arg == "--edition" && i + 1 < argc)
            edition = std::string(argv[++i]) == "nt" ? &brx::editions::Edition::WinNT()
                                                      : &brx::editions::Edition::Win2000();
        else
            words.push_back(arg);
    }
    if (machine.empty()) {
        std::cerr << "usage: brellix-window --machine DIR [--edition 2000|nt] [WORDS...]\n";
        return 2;
    }
    auto platform = brx::platform::hosted::openMachine(machine);
    if (!platform) {
        std::cerr << "Cannot open the machine in " << machine << "\n";
        return 1;
    }
    return brx::app::RunWindow(*platform, *edition, words, argc, argv);
}
