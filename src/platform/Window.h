// The one game window and its queue of events. SDL's events come out as
// typed window events handed to the owner's handler: a key (its usual
// virtual-key number), a character, a button going down or up and the wheel
// (with the position in back-buffer pixels), the pointer over the window,
// and the window destroyed. The loop takes them one at a time between
// frames, as a classic message-driven program does.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace plat {

// Virtual-key codes the game names.
enum : int {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_PAUSE = 19,
    VK_CAPITAL = 20,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_P = 80,
    VK_F1 = 112,
    VK_F5 = 116,
    VK_F12 = 123,
};

enum class MouseButton { Left, Right, Middle };

// What the window hands its owner.
struct WindowEvent {
    enum class Kind {
        // The window has gone (closed by the player or the program); the
        // loop ends with the quit that follows.
        Destroyed,
        // The pointer moved over the window: the owner shows its cursor.
        PointerOver,
        KeyDown,
        KeyUp,
        Character,
        ButtonDown,
        ButtonUp,
        Wheel,
    };
    Kind kind = Kind::PointerOver;
    // A key's virtual-key code, or the character typed.
    int key = 0;
    bool repeat = false;
    MouseButton button = MouseButton::Left;
    // Where a button or the wheel acted, in back-buffer pixels.
    int x = 0, y = 0;
    // Notches of the wheel, away from the player positive.
    int wheel = 0;
};

// The owner's handler of the window's events: true when it took the event,
// false to leave it to the window (which shows the system's cursor over it,
// and does nothing with the rest).
using EventHandler = bool (*)(const WindowEvent& event);

// What keeps the game from drawing at all: no display to open (a start
// outside a desktop session), an SDL built without any desktop video driver,
// or no usable OpenGL library.
enum class VideoFault { NoDisplay, NoSdlVideo, NoOpenGL };
// Starts SDL's video on a display and loads the GL library. SDL's headless
// drivers count only when SDL_VIDEODRIVER names them: without it, SDL falls
// back to one when no display opens, and the game would run unseen.
// False when the game cannot draw: `why` says why, `fault` (when given) what
// is missing.
bool InitVideo(std::string* why, VideoFault* fault = nullptr);
void ShutdownVideo();
// When the connection to the display breaks, the process ends where the
// loss was met, with `exitCode` (no library that met it can be trusted to
// come back); `keep` runs first, to keep what a close keeps. The window
// destroyed from outside is no such loss: the window reports it as its
// closing.
void SetDisplayLossEnd(void (*keep)(), int exitCode);

class Window {
public:
    // A visible, fixed-size window whose client area is width x height.
    Window(const std::string& title, int width, int height, EventHandler handler);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool IsValid() const { return m_window != nullptr; }
    SDL_Window* Handle() const { return m_window; }

    void SetClientSize(int width, int height);
    void GetClientSize(int* width, int* height) const;
    void SetFullScreen(bool fullScreen);
    bool IsFullScreen() const { return m_fullScreen; }
    bool IsIconic() const;
    void Hide();

    // The back buffer the game draws into may be scaled onto a larger
    // drawable (full screen); cursor positions are reported in back-buffer
    // pixels.
    void SetBackBufferSize(int width, int height);
    void GetCursorPos(int* x, int* y) const;

    // The loop's side. The next waiting event goes to the handler; false when
    // none waits.
    bool DispatchNext();
    // Waits for the next event and hands it over.
    void WaitAndDispatch();
    // The quit has been taken from the queue: the loop ends with `exitCode`.
    bool Quitting(int* exitCode) const;
    // The window closes: it hides and tells its owner it was destroyed.
    void Close();
    // The loop ends once the events before the quit are handled.
    void Quit(int exitCode);

    // System cursor over the client area (the game draws its own when it can).
    void ShowSystemCursor(bool show);

private:
    // The queue holds the window's own messages beside the owner's events.
    struct Message {
        enum class Type { Event, Close, Quit, Wake } type = Type::Event;
        WindowEvent event;
        int exitCode = 0;
    };
    void Post(const WindowEvent& event);
    void PostOwn(Message::Type type, int exitCode = 0);
    void Dispatch(const Message& message);
    void Pump();
    // A window destroyed from outside, or a lost display, closes the game.
    void ReportWindowLoss();
    void Translate(const SDL_Event& event);
    void ToBackBuffer(int* x, int* y) const;

    SDL_Window* m_window = nullptr;
    EventHandler m_handler = nullptr;
    std::deque<Message> m_queue;
    bool m_fullScreen = false;
    bool m_closing = false;
    bool m_lossReported = false; // the window was destroyed from outside
    bool m_quitting = false;
    int m_exitCode = 0;
    int m_backWidth = 0;
    int m_backHeight = 0;
};

// The cursor in client pixels and the client area's size, as the game polls
// them once a frame and at every click. A minimised window has no client
// area (0 x 0). Tests without a window put their own values in.
struct CursorPoll {
    int x = 0, y = 0;
    int width = 0, height = 0;
};
CursorPoll PollCursor(const Window* window);
// The client area's size alone, as PollCursor gives it.
void ClientSize(const Window* window, int* width, int* height);
// While `poll` is set, PollCursor gives it whatever the window; nullptr
// gives the window back its own.
void SetCursorPollForTests(const CursorPoll* poll);

} // namespace plat
