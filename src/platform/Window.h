// The one game window and its message queue. SDL events are translated into
// the window messages the game's window procedure handles (key codes are the
// usual virtual-key numbers, mouse positions are client coordinates packed
// into lParam), so the game reads like a classic message-driven program.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace plat {

enum : uint32_t {
    WM_DESTROY = 2,
    WM_SIZE = 5,
    WM_ACTIVATE = 6,
    WM_CLOSE = 16,
    WM_QUIT = 18,
    WM_SETCURSOR = 32,
    WM_NCHITTEST = 132,
    WM_KEYDOWN = 256,
    WM_KEYUP = 257,
    WM_CHAR = 258,
    WM_SYSCOMMAND = 274,
    WM_MOUSEMOVE = 512,
    WM_LBUTTONDOWN = 513,
    WM_LBUTTONUP = 514,
    WM_RBUTTONDOWN = 516,
    WM_RBUTTONUP = 517,
};

enum : uint32_t { MK_LBUTTON = 1, MK_RBUTTON = 2 };
enum : intptr_t { HTCLIENT = 1 };

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
    VK_F1 = 112,
    VK_F5 = 116,
    VK_F12 = 123,
};

struct Message {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

inline intptr_t MakePointParam(int x, int y)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xffff) << 16) | static_cast<uint32_t>(x & 0xffff));
}
inline int LowWord(intptr_t lParam) { return static_cast<int>(static_cast<uint32_t>(lParam) & 0xffff); }
inline int HighWord(intptr_t lParam) { return static_cast<int>((static_cast<uint32_t>(lParam) >> 16) & 0xffff); }

using WindowProc = intptr_t (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

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

class Window {
public:
    // A visible, fixed-size window whose client area is width x height.
    Window(const std::string& title, int width, int height, WindowProc proc);
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

    // Message queue, in the manner of the classic loop.
    bool PeekMessage(Message* out, bool remove);
    bool GetMessage(Message* out); // blocks; false once WM_QUIT is taken
    void DispatchMessage(const Message& message);
    void PostMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    void PostQuitMessage(int exitCode);
    // What the system does with a message the game passes on.
    intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

    // System cursor over the client area (the game draws its own when it can).
    void ShowSystemCursor(bool show);

private:
    void Pump();
    // A window destroyed from outside, or a lost display, closes the game.
    void ReportWindowLoss();
    void Translate(const SDL_Event& event);
    void ToBackBuffer(int* x, int* y) const;

    SDL_Window* m_window = nullptr;
    WindowProc m_proc = nullptr;
    std::deque<Message> m_queue;
    bool m_fullScreen = false;
    bool m_closing = false;
    bool m_lossReported = false; // the window was destroyed from outside
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
// While `poll` is set, PollCursor gives it whatever the window; nullptr
// gives the window back its own.
void SetCursorPollForTests(const CursorPoll* poll);

} // namespace plat
