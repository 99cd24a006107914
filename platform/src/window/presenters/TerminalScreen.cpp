#include "window/presenters/TerminalScreen.h"

#include <curses.h>
#include <dlfcn.h>
#include <locale.h>
#include <unistd.h>

#include <cstring>

#include "platform/Codepage.h"
#include "platform/TerminalText.h"

namespace vesk::ui::term {
namespace {

SCREEN* g_screen = nullptr;
bool g_suspended = false;
bool g_wide = false;
int g_errors = 0;

// The wide-character curses library writes UTF-8; the narrow one shows bytes above 0x7F
// as "M-x" sequences, so with it only ASCII is written and other characters become '?'.
bool wideLibrary() {
    return dlsym(RTLD_DEFAULT, "wadd_wch") != nullptr;
}

// Bytes of a UTF-8 sequence that starts with `lead` (1 for a stray byte).
int sequenceLength(int lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

// Texts on the screen come from resources, settings and the mail store: a control character
// in them is shown as a placeholder (platform/TerminalText.h), never sent to the terminal.
// The result holds at most `width` characters.
std::string displayable(const std::string& cp1252, size_t width) {
    std::string safe = text::forTerminalFromCp1252(cp1252);
    std::string out;
    size_t count = 0;
    for (size_t i = 0; i < safe.size() && count < width; ++count) {
        auto lead = static_cast<unsigned char>(safe[i]);
        size_t len = lead < 0x80 ? 1 : static_cast<size_t>(sequenceLength(lead));
        if (g_wide) out.append(safe, i, len);
        else out += lead < 0x80 ? safe[i] : '?';
        i += len;
    }
    return out;
}

}  // namespace

bool start() {
    if (g_screen != nullptr) {
        if (g_suspended) {
            reset_prog_mode();
            ::refresh();
            g_suspended = false;
        }
        return true;
    }
    if (!isatty(0) || !isatty(1)) return false;
    // UTF-8 output needs a character-type locale; a program left in "C" gets the user's.
    // Terminals today take UTF-8; a user without a locale of their own gets C.UTF-8.
    auto plain = [](const char* name) {
        return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
    };
    if (plain(setlocale(LC_CTYPE, nullptr)) && plain(setlocale(LC_CTYPE, ""))) setlocale(LC_CTYPE, "C.UTF-8");
    g_screen = newterm(nullptr, stdout, stdin);
    if (g_screen == nullptr) return false;
    set_term(g_screen);
    g_wide = wideLibrary();
    cbreak();
    noecho();
    nonl();
    intrflush(stdscr, FALSE);
    keypad(stdscr, TRUE);
    set_escdelay(25);
    g_suspended = false;
    g_errors = 0;
    return true;
}

void suspend() {
    if (g_screen == nullptr || g_suspended) return;
    def_prog_mode();
    endwin();
    g_suspended = true;
}

void stop() {
    if (g_screen == nullptr) return;
    if (!g_suspended) endwin();
    delscreen(g_screen);
    g_screen = nullptr;
    g_suspended = false;
}

int rows() {
    return LINES;
}

int cols() {
    return COLS;
}

void clear() {
    erase();
}

void put(int row, int col, const std::string& cp1252, int width, int attr) {
    if (row < 0 || row >= LINES || col >= COLS || width <= 0) return;
    attrset(attr);
    mvaddstr(row, col, displayable(cp1252, static_cast<size_t>(width)).c_str());
    attrset(A_NORMAL);
}

void frame(int top, int left, int height, int width) {
    for (int r = top; r < top + height; ++r) {
        move(r, left);
        for (int c = 0; c < width; ++c) addch(' ');
    }
    mvaddch(top, left, ACS_ULCORNER);
    mvaddch(top, left + width - 1, ACS_URCORNER);
    mvaddch(top + height - 1, left, ACS_LLCORNER);
    mvaddch(top + height - 1, left + width - 1, ACS_LRCORNER);
    mvhline(top, left + 1, ACS_HLINE, width - 2);
    mvhline(top + height - 1, left + 1, ACS_HLINE, width - 2);
    mvvline(top + 1, left, ACS_VLINE, height - 2);
    mvvline(top + 1, left + width - 1, ACS_VLINE, height - 2);
}

void cursorAt(int row, int col) {
    curs_set(1);
    move(row, col);
}

void hideCursor() {
    curs_set(0);
}

void refresh() {
    ::refresh();
}

int normal() { return A_NORMAL; }
int bold() { return A_BOLD; }
int reverse() { return A_REVERSE; }
int dim() { return A_DIM; }
int underline() { return A_UNDERLINE; }

Key readKey() {
    while (true) {
        const int c = getch();
        if (c == ERR) {
            // Blocking reads fail only when the terminal is gone; a few in a row say so.
            if (++g_errors > 8) return Key{Key::Type::Closed, 0, false};
            continue;
        }
        g_errors = 0;
        switch (c) {
            case '\t': return Key{Key::Type::Tab, 0, false};
            case KEY_BTAB: return Key{Key::Type::BackTab, 0, false};
            case '\n': case '\r': case KEY_ENTER: return Key{Key::Type::Enter, 0, false};
            case KEY_UP: return Key{Key::Type::Up, 0, false};
            case KEY_DOWN: return Key{Key::Type::Down, 0, false};
            case KEY_LEFT: return Key{Key::Type::Left, 0, false};
            case KEY_RIGHT: return Key{Key::Type::Right, 0, false};
            case KEY_HOME: return Key{Key::Type::Home, 0, false};
            case KEY_END: return Key{Key::Type::End, 0, false};
            case KEY_PPAGE: return Key{Key::Type::PageUp, 0, false};
            case KEY_NPAGE: return Key{Key::Type::PageDown, 0, false};
            case KEY_BACKSPACE: case 127: case 8: return Key{Key::Type::Backspace, 0, false};
            case KEY_DC: return Key{Key::Type::Delete, 0, false};
            case KEY_RESIZE: return Key{Key::Type::Resize, 0, false};
            case KEY_F(1): return Key{Key::Type::Help, 0, false};
            case 27: {
                // Esc alone, or the prefix the terminal sends for Alt with a key.
                nodelay(stdscr, TRUE);
                const int next = getch();
                nodelay(stdscr, FALSE);
                if (next == ERR || next == 27) return Key{Key::Type::Escape, 0, false};
                if (next >= 0x20 && next < 0x7F) return Key{Key::Type::Char, static_cast<char>(next), true};
                return Key{Key::Type::Escape, 0, false};
            }
            default:
                break;
        }
        if (c >= 0x20 && c < 0x7F) return Key{Key::Type::Char, static_cast<char>(c), false};
        if (c >= 0x80 && c < 0x100) {
            std::string bytes(1, static_cast<char>(c));
            const int length = sequenceLength(c);
            for (int i = 1; i < length; ++i) {
                const int more = getch();
                if (more == ERR || more < 0x80 || more >= 0x100) break;
                bytes += static_cast<char>(more);
            }
            const std::string text = cp::utf8ToCp1252(bytes);
            if (!text.empty()) return Key{Key::Type::Char, text[0], false};
        }
        // Other keys mean nothing here.
    }
}

}  // namespace vesk::ui::term
