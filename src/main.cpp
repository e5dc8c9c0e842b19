// Starts the application with its start-up form.
#include <windows.h>

#include "host/app.h"
#include "host/error.h"
#include "mainwindow/frmmain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    host::App::Init();
    Frmmain::PrepareHost();
    host::Guard([] {
        Frmmain& main = Frmmain::Instance();
        if (Frmmain::IsLoaded()) main.Show();
    });
    return host::App::Run();
}
