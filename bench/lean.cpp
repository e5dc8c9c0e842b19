// Lean and quick: the program against a bare window and a blit-only
// window, every figure as a ratio measured in this one run, printed as one
// table (tools/bench runs it).
//   bench_lean SHIPPED.exe BARE.exe [PAIRS]
//
// Start-up: PAIRS runs of each program, interleaved, the order alternating
// pair by pair (bare first, then the program first), with the same pause
// after each run, so neither always follows the other's teardown. Each run
// gives the time from CreateProcess to the first paint (window shown, no
// invalid region left) and to input-idle (WaitForInputIdle), then, once it
// has settled, its working set. The table gives the median
// of the paired ratios and their interquartile range.
//
// Repaints: the main window in this process, against a window that only
// blits a ready bitmap of the same rectangle, measured alternately.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/forms_bench.h"
#include "host/app.h"
#include "host/text_services.h"
#include "mainwindow/frmmain.h"
#include "notice/frmok.h"
#include "tray/frmmenu.h"

namespace {

double Quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    double pos = q * static_cast<double>(v.size() - 1);
    size_t i = static_cast<size_t>(pos);
    double frac = pos - static_cast<double>(i);
    return i + 1 < v.size() ? v[i] * (1 - frac) + v[i + 1] * frac : v[i];
}

struct Run {
    double paint = -1, idle = -1;  // ms from CreateProcess
    double workingSetMb = 0;
};

struct Idle {
    HANDLE process;
    double t0, at = -1;
};

DWORD WINAPI WaitIdle(void* p) {
    auto* i = static_cast<Idle*>(p);
    // Wine has no idle event for a process that has not yet initialised:
    // ask again until it has one.
    while (Now() - i->t0 < 15000) {
        DWORD rc = WaitForInputIdle(i->process, 15000);
        if (rc == 0) {
            i->at = Now() - i->t0;
            break;
        }
        if (rc != WAIT_FAILED) break;
        SwitchToThread();
    }
    return 0;
}

Run Start(const std::wstring& exe, const wchar_t* title) {
    Run r;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    double t0 = Now();
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return r;
    // Input-idle is waited for on a thread of its own.
    Idle idle{pi.hProcess, t0};
    HANDLE waiter = CreateThread(nullptr, 0, WaitIdle, &idle, 0, nullptr);
    while (r.paint < 0 && Now() - t0 < 15000) {
        HWND w = FindWindowW(nullptr, title);
        if (w && IsWindowVisible(w) && !GetUpdateRect(w, nullptr, FALSE)) r.paint = Now() - t0;
        SwitchToThread();
    }
    WaitForSingleObject(waiter, 15000);
    CloseHandle(waiter);
    r.idle = idle.at;
    // What it holds once it has settled: tooltips, icons and whatever else
    // comes after the first paint are in.
    Sleep(600);
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc))
        r.workingSetMb = static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Sleep(150);  // the same pause after either program
    return r;
}

struct Row {
    std::string figure, unit;
    double mine, reference;
    std::vector<double> ratios;
    double goal;  // 0: none
};

void Print(const std::vector<Row>& rows) {
    std::printf("%-34s %12s %12s %7s %15s %5s %6s  %s\n", "figure", "program", "reference",
                "ratio", "ratio IQR", "n", "goal", "");
    for (const Row& r : rows) {
        double ratio = r.ratios.empty() ? r.mine / r.reference : Quantile(r.ratios, 0.5);
        char iqr[32] = "-";
        if (r.ratios.size() > 1)
            std::snprintf(iqr, sizeof iqr, "%.2f-%.2f", Quantile(r.ratios, 0.25),
                          Quantile(r.ratios, 0.75));
        char goal[16] = "-";
        if (r.goal > 0) std::snprintf(goal, sizeof goal, "%.2f", r.goal);
        const char* verdict = r.goal <= 0 ? "" : ratio <= r.goal ? "met" : "NOT MET";
        std::printf("%-34s %9.2f %-2s %9.2f %-2s %7.2f %15s %5zu %6s  %s\n", r.figure.c_str(),
                    r.mine, r.unit.c_str(), r.reference, r.unit.c_str(), ratio, iqr,
                    r.ratios.empty() ? size_t(1) : r.ratios.size(), goal, verdict);
    }
}

// ---- Repaints -------------------------------------------------------------

// The floor: a window that, asked to paint, only copies the invalid part
// of a ready bitmap.
HBITMAP g_ready;
LRESULT CALLBACK BlitOnly(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, g_ready);
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, r.left, r.top, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        EndPaint(h, &ps);
        return 0;
    }
    if (m == WM_ERASEBKGND) return 1;
    return DefWindowProcW(h, m, w, l);
}

// Time to bring a change onto the window: the event, then the paint it
// asks for, done now.
template <class F>
double Timed(HWND w, F change) {
    double t0 = Now();
    change();
    UpdateWindow(w);
    GdiFlush();
    return Now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: bench_lean SHIPPED.exe BARE.exe [PAIRS]\n");
        return 2;
    }
    std::wstring app = host::FromAnsi(argv[1]), bare = host::FromAnsi(argv[2]);
    int pairs = argc >= 4 ? std::max(2, std::atoi(argv[3])) : 60;
    std::vector<Row> rows;

    // Start-up and memory, with the pointer resting away from where the
    // windows open, as after a double click on the program's icon.
    SetCursorPos(0, 0);
    std::vector<Run> mine, base;
    for (int i = 0; i < pairs; ++i) {
        if (i % 2 == 0) {
            base.push_back(Start(bare, L"bare"));
            mine.push_back(Start(app, L"青枫软件系列"));
        } else {
            mine.push_back(Start(app, L"青枫软件系列"));
            base.push_back(Start(bare, L"bare"));
        }
    }
    auto row = [&](const char* name, const char* unit, double Run::*field, double goal) {
        Row r{name, unit, 0, 0, {}, goal};
        std::vector<double> a, b;
        for (size_t i = 0; i < mine.size(); ++i) {
            if (mine[i].*field <= 0 || base[i].*field <= 0) continue;
            a.push_back(mine[i].*field);
            b.push_back(base[i].*field);
            r.ratios.push_back(mine[i].*field / base[i].*field);
        }
        r.mine = Quantile(a, 0.5);
        r.reference = Quantile(b, 0.5);
        rows.push_back(r);
    };
    row("start-up to first paint", "ms", &Run::paint, 1.15);
    row("start-up to input-idle", "ms", &Run::idle, 1.2);
    row("working set, settled", "MB", &Run::workingSetMb, 1.2);

    WIN32_FILE_ATTRIBUTE_DATA fa;
    double kb = GetFileAttributesExW(app.c_str(), GetFileExInfoStandard, &fa)
                    ? static_cast<double>(fa.nFileSizeLow) / 1024.0
                    : 0;
    rows.push_back({"shipped exe against 384 KB", "KB", kb, 384.0, {}, 1.0});

    // Repaints, in this process.
    Frmmain::PrepareHost();
    Frmmain& f = Frmmain::Instance();
    f.Show();
    Pump();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BlitOnly;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BlitOnly";
    RegisterClassW(&wc);
    HWND floor = nullptr;
    // The floor: a blit-only window of the main window's client size.
    auto makeFloor = [&] {
        if (floor) DestroyWindow(floor);
        if (g_ready) DeleteObject(g_ready);
        RECT client, wr;
        GetClientRect(f.hWnd(), &client);
        GetWindowRect(f.hWnd(), &wr);
        HDC screen = GetDC(nullptr);
        g_ready = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        floor = CreateWindowExW(0, L"BlitOnly", L"blit", WS_POPUP | WS_VISIBLE, wr.left, wr.top,
                                client.right, client.bottom, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(floor);
        SetWindowPos(f.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Pump();
    };

    // Hover: onto the query button and off it again; each move changes one
    // picture. The floor copies the same rectangle.
    std::vector<double> a, b;
    auto measureHover = [&](const char* name) {
        makeFloor();
        RECT ok = f.Imgok0.PixelRect();
        Row hover{name, "ms", 0, 0, {}, 1.3};
        a.clear();
        b.clear();
        long long painted0 = host::App::Stats().paintedPixels;
        long paints0 = host::App::Stats().paints;
        for (int i = 0; i < 400; ++i) {
            bool on = i % 2 == 0;
            double t = Timed(f.hWnd(), [&] { on ? MoveOver(f.Imgok0, 5, 5) : MoveOver(f.Imgbody, 5, 250); });
            double u = Timed(floor, [&] { InvalidateRect(floor, &ok, FALSE); });
            Pump();
            if (i < 20) continue;  // warm up
            a.push_back(t);
            b.push_back(u);
            hover.ratios.push_back(t / u);
        }
        double perPaint = static_cast<double>(host::App::Stats().paintedPixels - painted0) /
                          std::max(1L, host::App::Stats().paints - paints0);
        hover.mine = Quantile(a, 0.5);
        hover.reference = Quantile(b, 0.5);
        rows.push_back(hover);
        rows.push_back({"  pixels painted per hover paint", "px", perPaint,
                        static_cast<double>((ok.right - ok.left) * (ok.bottom - ok.top)), {}, 0});
    };
    measureHover("hover to repaint, 96 DPI");
    // As on a monitor of 200 %: the window laid out and drawn for 192 DPI.
    f.ChangeDpi(192);
    Pump();
    measureHover("hover to repaint, 192 DPI");
    f.ChangeDpi(96);
    makeFloor();

    // Query: Enter in the number box until the answer is painted.
    RECT ans;
    GetWindowRect(f.Text2.hWnd(), &ans);
    MapWindowPoints(nullptr, f.hWnd(), reinterpret_cast<POINT*>(&ans), 2);
    Row query{"Enter to answer painted", "ms", 0, 0, {}, 0};
    a.clear();
    b.clear();
    for (int i = 0; i < 200; ++i) {
        f.Text1.SetText(i % 2 ? L"55081111" : L"65251234");
        Pump();
        double t = Timed(f.Text2.hWnd(), [&] {
            int key = host::kKeyReturn;
            f.Text1_KeyDown(key, 0);
        });
        double u = Timed(floor, [&] { InvalidateRect(floor, &ans, FALSE); });
        Pump();
        if (i < 10) continue;
        a.push_back(t);
        b.push_back(u);
        query.ratios.push_back(t / u);
    }
    query.mine = Quantile(a, 0.5);
    query.reference = Quantile(b, 0.5);
    rows.push_back(query);

    std::printf("%d interleaved start-up pairs, order alternating, pointer away from the windows; "
                "repaints against a window that only blits a ready bitmap of the same "
                "rectangle\n", pairs);
    Print(rows);

    DestroyWindow(floor);
    DeleteObject(g_ready);
    frmok::Unload();
    frmMenu::Unload();
    Frmmain::Unload();
    Pump();
    return 0;
}
