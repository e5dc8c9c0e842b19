// Start-up of the main window and its cut-corner outline.
#include "host/app.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/outline.h"

static_assert(sizeof(mainwindow::Vertex) == sizeof(POINT), "vertices are POINTs");

void Frmmain::Form_Load() {
    // The only error trap: any failure ends start-up here, silently, and
    // the window is shown as far as it was prepared.
    try {
        // The copy that runs comes forward instead: from the tray, its icon
        // may sit where the user does not look for it. When none answers,
        // whatever holds the name (another program, a copy frozen after a
        // crash) does not keep this one from starting.
        if (host::App::PrevInstance() && host::Form::WakePrevInstance()) {
            Unload();
            host::App::End();
        }
        ShapeWindow();
        PrimeTray();
        FixHistoryPath();
        Frame1.SetBackColor(0x00ECECEC);
        ShowPlatformLine();
    } catch (const std::exception&) {
    }
}

// On a monitor of another DPI the window is cut again at its new size.
void Frmmain::Form_DpiChanged() {
    try {
        ShapeWindow();
    } catch (const std::exception&) {
    }
}

void Frmmain::ShapeWindow() {
    auto vertices = mainwindow::OutlineVertices(Width(), Height(), Dpi());
    SetOutline(reinterpret_cast<const POINT*>(vertices.data()), static_cast<int>(vertices.size()));
}
