#pragma once

#include <string>
#include <string_view>

// Class identifiers in the registry's form "{EDFD8418-26BA-11D2-AC37-000000000000}":
// 32 hexadecimal digits grouped 8-4-4-4-12, compared without case, braces optional.
class ClassId
{
public:
    // The canonical form (braces, upper case), or "" when the text is not a class identifier.
    static std::string normalize(std::string_view text);
    // Whether the text is a class identifier, with or without braces.
    static bool isValid(std::string_view text) { return !normalize(text).empty(); }
    // Whether both texts are valid and name the same class.
    static bool equal(std::string_view a, std::string_view b);
};
