// The terminal under the terminal presenter: starting and stopping curses, writing
// Windows-1252 text as UTF-8, and reading keys.
#pragma once

#include <string>

namespace vesk::ui::term {

/// Takes over the terminal (or resumes it after suspend). False when stdin/stdout are no
/// terminal or curses cannot start.
bool start();
/// Gives the terminal back to line-by-line use until the next start.
void suspend();
/// Ends curses for good (the presenter is going away).
void stop();

int rows();
int cols();
void clear();
/// Writes `cp1252` at `row`, `col`, at most `width` characters, with curses attributes `attr`.
void put(int row, int col, const std::string& cp1252, int width, int attr);
/// Draws a frame with its inside cleared.
void frame(int top, int left, int height, int width);
void cursorAt(int row, int col);
void hideCursor();
void refresh();

/// Attributes for put().
int normal();
int bold();
int reverse();
int dim();
int underline();

struct Key {
    enum class Type {
        Char, Enter, Tab, BackTab, Escape, Up, Down, Left, Right, Home, End,
        PageUp, PageDown, Backspace, Delete, Resize, Help, Closed
    };
    Type type = Type::Closed;
    char ch = 0;       ///< Char: the character, Windows-1252
    bool alt = false;  ///< Char: typed with Alt (or after Esc)
};

/// Waits for the next key. Closed when the terminal's input has ended.
Key readKey();

}  // namespace vesk::ui::term
