// Fuzzes a directory service's stored data ("host,port,login,password,base", read from the
// settings file) and the search filter made from a typed name. The input is split at its first
// 0x00 byte into the stored data and the typed name.
// Checked: the data written back from what was read reads the same again; the filter is one
// "(cn=...)" whose inside holds no parenthesis, backslash escape aside, nor NUL.
#include "FuzzCheck.h"
#include "directories/LdapService.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_ldap", what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view stored = input.substr(0, split);
    const std::string_view typed
        = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const LdapService service = LdapService::parse(stored);
    require(service.port > 0, "a port of at least 1");
    if (const auto written = service.format()) {
        require(LdapService::parse(*written) == service, "written data reads back the same");
    }

    const std::string filter = LdapService::nameFilter(typed);
    require(filter.size() >= 5 && filter.compare(0, 4, "(cn=") == 0 && filter.back() == ')',
            "one (cn=...) filter");
    const std::string_view inside = std::string_view(filter).substr(4, filter.size() - 5);
    for (const char c : inside)
        require(c != '(' && c != ')' && c != '\0', "no structure in the typed name");
    return 0;
}
