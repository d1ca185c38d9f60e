// SString: the program's own owning text of 8-bit characters.
//
// It carries NC lines into the block parser and holds block and word texts. The array is always exactly
// length + 1 bytes and terminated; the length is not stored. Bytes are kept as they are (code page 932 passes
// through, a double-byte character counts as two), and character classes are ASCII only, whatever the
// process locale says.
#pragma once

#include <string>

class SString {
public:
    SString();
    SString(
        const char* text);  // NOLINT(google-explicit-constructor): texts are passed as literals everywhere
    // The text followed by `fill` up to exactly `width` characters; a plain copy when width is not larger.
    SString(const char* text, int width, char fill);
    explicit SString(const std::string& text);
    // Fixed-decimal text: `value` with `decimals` digits after the point (see SString.cpp for the rules).
    SString(double value, int decimals);
    SString(const SString& other);
    SString(SString&& other) noexcept;
    ~SString();

    SString& operator=(const SString& other);
    SString& operator=(SString&& other) noexcept;
    SString& operator=(const char* text);

    void assign(const char* text);
    void assign(const SString& other);

    const char* str() const { return chars_; }
    char& at(int i) { return chars_[i]; }
    char at(int i) const { return chars_[i]; }
    int length() const;

    friend SString operator+(const SString& left, const SString& right);
    // The left text with the first occurrence of the right one removed.
    friend SString operator-(const SString& left, const SString& right);
    friend SString operator-(const SString& left, const char* right);
    SString& operator-=(const char* text);

    static SString ofChar(char c);
    // 1-based start, clamped as the parser expects.
    SString mid(int start, int count) const;
    // Up to `count` characters from the first occurrence of `key`, the key included.
    SString from(const SString& key, int count) const;
    // The first decimal number at or after the first occurrence of `key`; 0.0 when there is none.
    double readNumber(const SString& key) const;

private:
    char* chars_;
};
