#include "app/brellix/Main.h"

int main(int argc, char** argv)
{
    return brx::app::Main(brx::editions::Edition::Win2000(), argc, argv);
}
