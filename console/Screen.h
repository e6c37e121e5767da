#pragma once

#include <QByteArray>

#include <cctype>

// The terminal as the console sees it. The production adapter calls the
// terminal library and nothing else; tests use an in-memory screen, so the
// console's logic is exercised without a terminal.
class Screen {
public:
    // Drawing attributes; colour pairs as the console defines them.
    enum Attribute {
        Bold = 1,
        GoodPair = 2,    // pair 1: white on black
        WarningPair = 4, // pair 2: yellow on black
        AlarmPair = 8,   // pair 3: red on black
    };
    static constexpr int noKey = -1;
    // The terminal changed size: redraw; it is no answer to anything.
    static constexpr int resized = -2;
    // The keyboard input has ended (end of file, terminal gone): nobody is
    // left to answer.
    static constexpr int inputClosed = -3;

    // Keys are compared lower-cased; keys beyond a byte (function keys) pass
    // unchanged, tolower being defined for byte values only.
    static int lowerCase(int key) { return key >= 0 && key <= 255 ? std::tolower(key) : key; }

    virtual ~Screen() = default;

    // Enter full-screen mode: key reads return at once, echo off, colour pairs defined.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void erase() = 0;
    virtual void refresh() = 0;
    virtual void attributeOn(int attributes) = 0;
    virtual void attributeOff(int attributes) = 0;
    // Writes the bytes literally (no format expansion) starting at (row, column).
    virtual void write(int row, int column, const QByteArray& bytes) = 0;
    virtual void setEcho(bool on) = 0;
    // true: readKey() waits for a key, though never longer than a moment,
    // after which it returns noKey so that the caller can see whether it
    // should still wait; false: it returns noKey at once.
    virtual void setKeyWait(bool wait) = 0;
    // A key, noKey, resized or inputClosed.
    virtual int readKey() = 0;
};
