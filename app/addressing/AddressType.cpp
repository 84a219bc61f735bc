#include "addressing/AddressType.h"

std::string_view addressTypeName(AddressType type)
{
    switch (type) {
    case AddressType::Invalid:
        return "Invalid";
    case AddressType::Ixo:
        return "Ixo";
    case AddressType::Analog:
        return "Analog";
    case AddressType::Snpp:
        return "Snpp";
    }
    return "Unknown";
}
