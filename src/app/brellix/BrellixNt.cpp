#include "app/brellix/Main.h"

int main(int argc, char** argv)
{
    return brx::app::Main(brx::editions::Edition::WinNT(), argc, argv);
}
