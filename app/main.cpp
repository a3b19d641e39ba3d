// Entry point of ZyrDiskCare.exe.
#include "app/ZyrApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    static zyr::app::CZyrApp app;
    return app.Main(instance);
}
