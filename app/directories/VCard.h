#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One contact card of a vCard file (versions 2.1, 3.0 and 4.0 are read; 4.0 is written).
// The card keeps its physical lines, so that changing the pager number rewrites only that
// property and every other line stays as the writing tool left it.
class VCard
{
public:
    // The longest physical line written, in bytes (without the line end).
    static constexpr std::size_t maxLineBytes = 75;

    // The cards of a file's text in order: lines end in CR LF or LF, folded lines (a line
    // starting with a blank or tab continues the previous one) are joined; text outside
    // BEGIN:VCARD ... END:VCARD is ignored.
    static std::vector<VCard> parse(std::string_view text);
    // A new vCard 4.0 card with UID, FN, N (the name as given name) and, unless empty, the
    // pager number as TEL;VALUE=text;TYPE=pager.
    static VCard make(std::string_view name, std::string_view pagerInfo, std::string_view uid);

    // The display name: FN, else the given and family names of N; "" when the card has none.
    std::string name() const;
    // The first pager number (TEL with the type "pager" in any case, or the old bare PAGER
    // parameter); a "tel:" URI gives its number. "" when there is none.
    std::string pagerInfo() const;
    // The VERSION value ("" when missing).
    std::string version() const;
    // Sets the pager number: replaces the value of the first pager TEL, adds one before END
    // when there is none, and removes it when the number is empty.
    void setPagerInfo(std::string_view pagerInfo);
    // The card's text with CR LF line ends.
    std::string text() const;

    // Escapes a text value: backslash, comma, semicolon and line breaks.
    static std::string escapeText(std::string_view value);
    // Undoes escapeText (also "\N"); an unknown escape keeps its character.
    static std::string unescapeText(std::string_view value);
    // Folds a logical line into physical lines of at most maxLineBytes bytes, never inside a
    // multi-byte character; continuation lines start with a blank.
    static std::vector<std::string> fold(std::string_view line);

private:
    struct Parameter
    {
        std::string name; // upper case; "TYPE" for an old bare type
        std::vector<std::string> values; // as written, quotes removed
    };
    struct Property
    {
        std::string prefix; // group, name and parameters as written, before the ":"
        std::string name; // upper case, without the group
        std::vector<Parameter> parameters;
        std::string value; // raw (still escaped)
        std::size_t firstLine = 0;
        std::size_t lineCount = 0;
    };

    void analyse();
    const Property* find(std::string_view name) const;
    const Property* findPager() const;
    [[nodiscard]] static bool parseProperty(const std::string& logical, Property& property);
    static bool isPager(const Property& property);
    static bool hasParameterValue(const Property& property, std::string_view name,
                                  std::string_view value);

    std::vector<std::string> m_lines; // physical lines without line ends
    std::vector<Property> m_properties;
};
