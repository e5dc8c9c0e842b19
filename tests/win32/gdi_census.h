#pragma once
// Counts what this program creates and frees through its imports from
// gdi32 and user32: GDI objects, device contexts, icons, cursors, menus and
// paints. Unlike the host's own count it sees raw handles too, such as one
// created and never handed to an owner. (Wine's GetGuiResources is a stub.)
namespace testenv {

void InstallGdiCensus();
// Objects alive now, plus device contexts and paints not yet given back.
long LiveGdiObjects();

}  // namespace testenv
