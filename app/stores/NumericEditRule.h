#pragma once

#include <string>
#include <string_view>

// The rule of the dialogs' numeric fields: only digits and control keys may be typed, and a
// non-empty text whose decimal value lies outside the field's range is replaced at once by
// the bound it passed. The Qt field calls keyAccepted() on every key and apply() whenever its
// text changes, including when the dialog sets it.
class NumericEditRule
{
public:
    // A field for values from `minimum` to `maximum`.
    constexpr NumericEditRule(long minimum, long maximum)
        : m_minimum(minimum)
        , m_maximum(maximum)
    { }

    // Whether a typed character reaches the field: digits and control characters do; every
    // other printable character from blank to "~" is swallowed.
    static bool keyAccepted(char c);
    // The decimal value of a field's text as the C library reads it (0 without digits).
    static long valueOf(std::string_view text);

    // The text the field shows after `text` was set: `text` itself when it is empty or in
    // range, else the bound in decimal (the caller then selects the whole text).
    std::string apply(std::string_view text) const;
    // Whether apply() replaces the text.
    bool replaces(std::string_view text) const;

    // The range.
    long minimum() const { return m_minimum; }
    long maximum() const { return m_maximum; }
    // Changes the highest value (the Date field's follows the month).
    void setMaximum(long maximum) { m_maximum = maximum; }

private:
    long m_minimum;
    long m_maximum;
};
