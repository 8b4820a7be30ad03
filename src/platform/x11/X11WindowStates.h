#pragma once

// Without Xlib.h, whose macros clash with Qt's names in the files that call this.
struct _XDisplay;

namespace kx::platform::x11 {

// Makes `window` a strip along a screen edge for the window manager (EWMH): of type
// _NET_WM_WINDOW_TYPE_DOCK, which window managers keep above other windows, never focus
// and leave where it asks to be, also over the reserved room of a panel; and with the
// states _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER. Call it while the window
// is not mapped: the window manager reads these when the window is mapped, and forgets the
// states when it is withdrawn. States already set on the window stay.
void makeScreenEdgeStrip(_XDisplay* display, unsigned long window);

} // namespace kx::platform::x11
