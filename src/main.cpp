// Starts the application with its start-up form.
#include <windows.h>

#include <cstdlib>

#include "host/app.h"
#include "host/error.h"
#include "host/system_library.h"
#include "mainwindow/frmmain.h"

// The runtime's default terminate handler writes the exception's demangled
// type to standard error, which a windowed program does not have, and links
// a whole demangler for it. Run-time errors are reported where they are
// caught; anything that still gets here ends the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    host::RestrictLibrarySearch();
    Frmmain::PrepareHost();
    host::Guard([] {
        Frmmain& main = Frmmain::Instance();
        if (Frmmain::IsLoaded()) main.Show();
    });
    return host::App::Run();
}
