// kx-wl-pointer WIDTH HEIGHT: a pointer for the compositor's first seat (the headless seat
// has none of its own), alive until its input ends, so clients keep their wl_pointer. Reads
// lines from stdin: "X Y" moves it to X, Y of a layout WIDTH by HEIGHT, "click" presses and
// releases the left button. Each is done when the compositor has handled it.
#include <wayland-client.h>
#include <wayland-protocols/wlr-virtual-pointer-unstable-v1-client-protocol.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

struct Globals
{
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void addGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    auto* globals = static_cast<Globals*>(data);
    const std::string_view which(interface);
    if (which == "wl_seat" && !globals->seat)
        globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (which == "zwlr_virtual_pointer_manager_v1")
        globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: kx-wl-pointer WIDTH HEIGHT < commands\n");
        return 2;
    }
    const auto width = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const auto height = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "kx-wl-pointer: no Wayland display\n");
        return 1;
    }
    Globals globals;
    static const wl_registry_listener listener = { addGlobal, [](void*, wl_registry*, std::uint32_t) {} };
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &globals);
    wl_display_roundtrip(display);
    if (!globals.seat || !globals.pointers) {
        std::fprintf(stderr, "kx-wl-pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer
        = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
    std::uint32_t time = 0;
    char line[128];
    while (wl_display_roundtrip(display) >= 0 && std::fgets(line, sizeof line, stdin)) {
        unsigned x = 0, y = 0;
        if (std::sscanf(line, "%u %u", &x, &y) == 2) {
            zwlr_virtual_pointer_v1_motion_absolute(pointer, ++time, x, y, width, height);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (std::strncmp(line, "click", 5) == 0) {
            constexpr std::uint32_t leftButton = 0x110; // BTN_LEFT
            zwlr_virtual_pointer_v1_button(pointer, ++time, leftButton, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, ++time, leftButton, WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else {
            std::fprintf(stderr, "kx-wl-pointer: cannot read: %s", line);
        }
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
