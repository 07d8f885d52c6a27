// The launcher program: the graphical-subsystem entry hands over to the main flow.
#include "main_flow/main_flow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR, int showCommand) {
    return launcher::RunLauncher(instance, previous, showCommand);
}
