// The record in which every GUI window reports what the mouse did to it, and
// the codes and window kinds it carries. A window's input call fills its
// list with its own event first and then its children's, depth first; the
// forms manager gathers the lists of its forms in drawing order.
#pragma once

#include <cstdint>
#include <type_traits>

enum class GuiCode : int32_t {
    Click = 0, // button 0 released inside after it was pressed inside; follows the LeftUp of that release
    LeftDown = 1,
    LeftUp = 2, // inside the window or not
    RightDown = 3,
    RightUp = 4,
    MiddleDown = 5,
    MiddleUp = 6,
    Enter = 11,
    Leave = 12,
    ValueChanged = 13, // a check box toggled, or a scroller took a value from a press or a drag
};

// The class of a window, as its constructor sets it; form files name the
// control kinds 2 to 6 by these numbers.
enum class WindowKind : int32_t {
    Window = 0,
    Form = 1,
    Static = 2,
    Button = 3,
    Checkbox = 4,
    Scroller = 5,
    Progressbar = 6,
};

// x and y are the cursor's offset from the window's centre in its design
// units (divided by its scale), y up.
struct GuiEvent {
    GuiCode code;
    int32_t id;
    float x;
    float y;
    WindowKind kind;
};
static_assert(sizeof(GuiEvent) == 20, "a GUI event is five 32-bit words");
static_assert(std::is_trivially_copyable_v<GuiEvent>, "GUI events are copied by value between lists");
