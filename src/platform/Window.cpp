#include "platform/Window.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace plat {

namespace {

// Under X the window can go away under the game: another client destroys
// it, or the connection to the server breaks. Xlib's default handlers end the
// process from inside whatever call met the news, and the game's static
// destructors then tear down objects that are still in use. A destroyed
// window is noted here, and the game closes as it does from a click.
Display* g_xDisplay = nullptr;
XID g_xWindow = 0;
bool g_xWindowLost = false;
XErrorHandler g_defaultXErrorHandler = nullptr;
void (*g_keepOnDisplayLoss)() = nullptr;
int g_displayLossExitCode = 0;

int OnXError(Display* display, XErrorEvent* error)
{
    if (g_xWindow != 0 && error->resourceid == g_xWindow) {
        g_xWindowLost = true;
        return 0;
    }
    return g_defaultXErrorHandler ? g_defaultXErrorHandler(display, error) : 0;
}

// A broken connection is met inside whatever call wrote to the server or
// waited for its answer, most often the GL driver's as it asks for the
// window's size before a frame: returned to, the driver goes on with the
// answer that never came and draws into memory it does not own. So the game
// goes back into no library: it keeps what a close keeps and ends here.
[[noreturn]] int OnXConnectionLost(Display* display)
{
    std::fprintf(stderr, "The connection to the display %s is lost\n", DisplayString(display));
    if (g_keepOnDisplayLoss)
        g_keepOnDisplayLoss();
    std::_Exit(g_displayLossExitCode);
}

void WatchXWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    g_xDisplay = info.info.x11.display;
    g_xWindow = info.info.x11.window;
    g_xWindowLost = false;
    if (!g_defaultXErrorHandler)
        g_defaultXErrorHandler = XSetErrorHandler(OnXError);
}

// Called once the window is destroyed: the server's answer to destroying a
// window that is gone already must reach our handler before the video
// subsystem quits and puts Xlib's own handler back.
void ForgetXWindow()
{
    if (g_xDisplay && g_xWindow)
        XSync(g_xDisplay, False);
    g_xDisplay = nullptr;
    g_xWindow = 0;
}

int VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    default:
        return 0;
    }
}

// Characters that typing produces besides text: the line editing keys.
int ControlCharacter(SDL_Keycode key)
{
    switch (key) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    default:
        return 0;
    }
}

} // namespace

namespace {
// Whether the SDL library has a driver for a desktop's display at all; when
// it has none, no session could give the game a window.
bool HasDesktopVideoDriver()
{
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (name && (SDL_strcmp(name, "x11") == 0 || SDL_strcmp(name, "wayland") == 0))
            return true;
    }
    return false;
}
} // namespace

bool InitVideo(std::string* why, VideoFault* fault)
{
    auto missing = [&](VideoFault what) {
        if (fault)
            *fault = what;
        return false;
    };
    // A write to a display that has gone (the server ended, the socket shut)
    // must come back as the error it is, which Xlib hands to the connection
    // handler above and the game closes on; left to its default, SIGPIPE would
    // end the process in the middle of that write, the quest unsaved.
    std::signal(SIGPIPE, SIG_IGN);
    // Before SDL opens the display: a server gone while the window is made
    // or the game loads is met there too.
    XSetIOErrorHandler(OnXConnectionLost);
    const VideoFault noScreen = HasDesktopVideoDriver() ? VideoFault::NoDisplay : VideoFault::NoSdlVideo;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *why = SDL_GetError();
        return missing(noScreen);
    }
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const char* driver = SDL_GetCurrentVideoDriver();
    if ((!asked || !*asked) && driver &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        *why = "no display could be opened";
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return missing(noScreen);
    }
    if (SDL_GL_LoadLibrary(nullptr) != 0) {
        *why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return missing(VideoFault::NoOpenGL);
    }
    // A GL library without its entry points is as good as none.
    if (!SDL_GL_GetProcAddress("glClear") || !SDL_GL_GetProcAddress("glViewport")) {
        *why = "the OpenGL library has no usable entry points";
        SDL_GL_UnloadLibrary();
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return missing(VideoFault::NoOpenGL);
    }
    return true;
}

void SetDisplayLossEnd(void (*keep)(), int exitCode)
{
    g_keepOnDisplayLoss = keep;
    g_displayLossExitCode = exitCode;
}

void ShutdownVideo()
{
    SDL_GL_UnloadLibrary();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

Window::Window(const std::string& title, int width, int height, EventHandler handler)
    : m_handler(handler), m_backWidth(width), m_backHeight(height)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    m_window = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (m_window) {
        WatchXWindow(m_window);
        SDL_StartTextInput();
    }
}

Window::~Window()
{
    if (m_window) {
        SDL_StopTextInput();
        SDL_DestroyWindow(m_window);
        ForgetXWindow();
    }
}

void Window::SetClientSize(int width, int height)
{
    if (!m_window)
        return;
    if (!m_fullScreen)
        SDL_SetWindowSize(m_window, width, height);
    m_backWidth = width;
    m_backHeight = height;
}

void Window::GetClientSize(int* width, int* height) const
{
    *width = m_backWidth;
    *height = m_backHeight;
}

void Window::SetFullScreen(bool fullScreen)
{
    if (!m_window || fullScreen == m_fullScreen)
        return;
    if (SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0)
        m_fullScreen = fullScreen;
    if (!m_fullScreen)
        SDL_SetWindowSize(m_window, m_backWidth, m_backHeight);
}

bool Window::IsIconic() const { return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0; }

// Hiding waits for the server's answer: a window that is gone, or a dead
// connection, would keep that wait going for ever.
void Window::Hide()
{
    if (m_window && !g_xWindowLost)
        SDL_HideWindow(m_window);
}

void Window::SetBackBufferSize(int width, int height)
{
    m_backWidth = width;
    m_backHeight = height;
}

void Window::ToBackBuffer(int* x, int* y) const
{
    int w = 0, h = 0;
    if (!m_window)
        return;
    SDL_GetWindowSize(m_window, &w, &h);
    if (w <= 0 || h <= 0 || (w == m_backWidth && h == m_backHeight))
        return;
    // The back buffer is shown scaled to fit and centred.
    const float scale = std::min(static_cast<float>(w) / m_backWidth, static_cast<float>(h) / m_backHeight);
    const float offX = (w - m_backWidth * scale) * 0.5f;
    const float offY = (h - m_backHeight * scale) * 0.5f;
    *x = std::clamp(static_cast<int>((*x - offX) / scale), 0, m_backWidth - 1);
    *y = std::clamp(static_cast<int>((*y - offY) / scale), 0, m_backHeight - 1);
}

void Window::GetCursorPos(int* x, int* y) const
{
    SDL_GetMouseState(x, y);
    ToBackBuffer(x, y);
}

void Window::Translate(const SDL_Event& event)
{
    WindowEvent e;
    switch (event.type) {
    case SDL_QUIT:
        if (!m_closing)
            PostOwn(Message::Type::Close);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE && !m_closing) {
            PostOwn(Message::Type::Close);
        } else if (event.window.event == SDL_WINDOWEVENT_ENTER) {
            Post(e);
        } else if (event.window.event == SDL_WINDOWEVENT_RESTORED) {
            PostOwn(Message::Type::Wake); // wakes a loop that sleeps while minimised
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int vk = VirtualKey(event.key.keysym.sym);
        if (vk == 0)
            break;
        const bool down = event.type == SDL_KEYDOWN;
        e.kind = down ? WindowEvent::Kind::KeyDown : WindowEvent::Kind::KeyUp;
        e.key = vk;
        e.repeat = event.key.repeat != 0;
        Post(e);
        if (down) {
            if (const int ch = ControlCharacter(event.key.keysym.sym)) {
                e.kind = WindowEvent::Kind::Character;
                e.key = ch;
                Post(e);
            }
        }
        break;
    }
    case SDL_TEXTINPUT: {
        // UTF-8 to single-byte characters: ASCII and Latin-1 pass, the rest
        // cannot be shown by the game's fonts and is dropped.
        const unsigned char* s = reinterpret_cast<const unsigned char*>(event.text.text);
        e.kind = WindowEvent::Kind::Character;
        while (*s) {
            unsigned code = *s;
            if (code < 0x80) {
                ++s;
            } else if ((code & 0xE0) == 0xC0 && (s[1] & 0xC0) == 0x80) {
                code = ((code & 0x1F) << 6) | (s[1] & 0x3F);
                s += 2;
            } else {
                ++s;
                while ((*s & 0xC0) == 0x80)
                    ++s;
                continue;
            }
            if (code >= 32 && code < 256 && code != 127) {
                e.key = static_cast<int>(code);
                Post(e);
            }
        }
        break;
    }
    case SDL_MOUSEMOTION:
        Post(e);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        e.x = event.button.x;
        e.y = event.button.y;
        ToBackBuffer(&e.x, &e.y);
        e.kind = event.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::Kind::ButtonDown : WindowEvent::Kind::ButtonUp;
        if (event.button.button == SDL_BUTTON_LEFT)
            e.button = MouseButton::Left;
        else if (event.button.button == SDL_BUTTON_RIGHT)
            e.button = MouseButton::Right;
        else if (event.button.button == SDL_BUTTON_MIDDLE)
            e.button = MouseButton::Middle;
        else
            break;
        Post(e);
        break;
    }
    case SDL_MOUSEWHEEL: {
        e.kind = WindowEvent::Kind::Wheel;
        SDL_GetMouseState(&e.x, &e.y);
        ToBackBuffer(&e.x, &e.y);
        e.wheel = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (e.wheel != 0)
            Post(e);
        break;
    }
    default:
        break;
    }
}

void Window::Pump()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        Translate(event);
    ReportWindowLoss();
}

void Window::ReportWindowLoss()
{
    if (g_xWindowLost && !m_closing && !m_lossReported) {
        m_lossReported = true;
        PostOwn(Message::Type::Close);
    }
}

void Window::Post(const WindowEvent& event)
{
    Message message;
    message.event = event;
    m_queue.push_back(message);
}

void Window::PostOwn(Message::Type type, int exitCode)
{
    Message message;
    message.type = type;
    message.exitCode = exitCode;
    m_queue.push_back(message);
}

bool Window::DispatchNext()
{
    if (m_quitting)
        return false;
    if (m_queue.empty())
        Pump();
    if (m_queue.empty())
        return false;
    const Message message = m_queue.front();
    m_queue.pop_front();
    Dispatch(message);
    return true;
}

void Window::WaitAndDispatch()
{
    const bool wasIconic = IsIconic();
    while (m_queue.empty() && !m_quitting) {
        SDL_Event event;
        if (!SDL_WaitEvent(&event))
            continue;
        Translate(event);
        ReportWindowLoss();
        // Some window managers bring a window back with a show and no
        // restore: the loop sleeping here while minimised must wake all the
        // same, as it does for a restore.
        if (m_queue.empty() && wasIconic && !IsIconic())
            PostOwn(Message::Type::Wake);
    }
    if (m_quitting)
        return;
    const Message message = m_queue.front();
    m_queue.pop_front();
    Dispatch(message);
}

bool Window::Quitting(int* exitCode) const
{
    if (m_quitting && exitCode)
        *exitCode = m_exitCode;
    return m_quitting;
}

// The owner's handler takes an event first; what it leaves, the window
// handles as the system would: its own cursor over the window.
void Window::Dispatch(const Message& message)
{
    switch (message.type) {
    case Message::Type::Quit:
        m_quitting = true;
        m_exitCode = message.exitCode;
        return;
    case Message::Type::Close:
        Close();
        return;
    case Message::Type::Wake:
        return;
    case Message::Type::Event:
        break;
    }
    const bool taken = m_handler && m_handler(message.event);
    if (!taken && message.event.kind == WindowEvent::Kind::PointerOver)
        ShowSystemCursor(true);
}

// The window goes away and tells its owner so, as a destroyed window does;
// the loop ends at the quit that follows.
void Window::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    Hide();
    if (m_handler) {
        WindowEvent destroyed;
        destroyed.kind = WindowEvent::Kind::Destroyed;
        m_handler(destroyed);
    }
}

void Window::Quit(int exitCode) { PostOwn(Message::Type::Quit, exitCode); }

void Window::ShowSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

namespace {
bool g_cursorOverridden = false;
CursorPoll g_cursorOverride;
} // namespace

CursorPoll PollCursor(const Window* window)
{
    if (g_cursorOverridden)
        return g_cursorOverride;
    CursorPoll poll;
    if (!window || !window->IsValid() || window->IsIconic())
        return poll;
    window->GetCursorPos(&poll.x, &poll.y);
    window->GetClientSize(&poll.width, &poll.height);
    return poll;
}

void ClientSize(const Window* window, int* width, int* height)
{
    const CursorPoll poll = PollCursor(window);
    *width = poll.width;
    *height = poll.height;
}

void SetCursorPollForTests(const CursorPoll* poll)
{
    g_cursorOverridden = poll != nullptr;
    if (poll)
        g_cursorOverride = *poll;
}

} // namespace plat
