// The interactive start of brellix2k and brellixnt: the window of the brx_ui library.
#include "app/brellix/Window.h"

#include "ui/GuiMain.h"

namespace brx::app {

int RunWindow(platform::Platform& platform, const editions::Edition& edition,
              const std::vector<std::string>& words, int argc, char** argv)
{
    return ui::RunMainWindow(platform, edition, words, argc, argv);
}

}  // namespace brx::app
