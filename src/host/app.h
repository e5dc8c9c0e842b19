#pragma once
// The application object: message loop, previous instance, the folder of
// the executable, the forms that are loaded, and the host's counters.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace host {

class Form;

struct HostStats {
    long invalidations = 0;  // repaint requests for a visible change
    long paints = 0;         // WM_PAINT handled by forms and frames
    long long paintedPixels = 0;  // the area those paints drew
    long timerTicks = 0;
    long messages = 0;       // messages dispatched by forms and frames
};

class App {
public:
    // OLE on this thread, loaded on first need (a screen reader's request,
    // the mail link), not at start-up; false when it cannot be had.
    static bool EnsureOle();
    // Makes the common controls (tooltips) available; false when it cannot.
    static bool LoadCommonControls();
    static HINSTANCE Instance();
    // Something holds the name of this executable's copies (decided once,
    // at the first call, which also claims the name for this copy): a
    // running copy, or a copy frozen after a crash, or any other program
    // that took the name. Form::WakePrevInstance tells which.
    static bool PrevInstance();
    // The name copies of this executable file share, and no other program.
    static const std::wstring& InstanceName();
    // Whether the process runs this executable file: the same volume and
    // file index, whatever path started it.
    static bool RunsThisExecutable(DWORD pid);
    // The executable's folder, with a trailing backslash only at a root.
    static std::wstring Path();
    // Runs the message loop until no form is loaded.
    static int Run();
    // Hands out a message taken from the queue, as the loop does.
    static void Dispatch(const MSG& msg);
    // Whether the loop is handing out this very message: one posted (or
    // typed or clicked) into the queue, not sent.
    static bool Dispatching(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    [[noreturn]] static void End();

    static void FormLoaded(Form* f);
    static void FormUnloaded(Form* f);
    static int LoadedFormCount();
    static const std::vector<Form*>& LoadedForms();
    // An unloaded form's object, destroyed when the message loop comes
    // round again (form.h tells why).
    static void Bury(void* object, void (*destroy)(void*));
    static void CollectGarbage();

    // The program's font; the system's message font where no font of the
    // system shows Chinese.
    static HFONT DefaultFont(bool underline, int dpi = 96);

    // The program's own hand pointer, a cursor resource of the executable;
    // the system's hand until the program names one.
    static void SetHandCursorResource(int id);
    static HCURSOR HandCursor();
    static HostStats& Stats();

    // A message box with the information sign, of no form (every form stays
    // as it is, shown or in the tray) and in front; returns once it is
    // closed. While one of the title is open, that one comes forward.
    static void Inform(const std::wstring& title, const std::wstring& text);
};

}  // namespace host

// The counters are kept by the development build (tests and benchmarks
// read them), not by the program that ships.
#ifdef QF_HOST_STATS
#define QF_COUNT(field) (++::host::App::Stats().field)
#define QF_COUNT_ADD(field, n) (::host::App::Stats().field += (n))
#else
#define QF_COUNT(field) ((void)0)
#define QF_COUNT_ADD(field, n) ((void)0)
#endif
