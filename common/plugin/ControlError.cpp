#include "plugin/ControlError.h"

std::string_view controlErrorName(ControlError error)
{
    switch (error) {
    case ControlError::None:
        return "no error";
    case ControlError::InvalidClassId:
        return "invalid class identifier";
    case ControlError::NotRegistered:
        return "not registered";
    case ControlError::LibraryMissing:
        return "library missing";
    case ControlError::LibraryNotLoadable:
        return "library not loadable";
    case ControlError::EntryPointMissing:
        return "entry point missing";
    case ControlError::AbiMismatch:
        return "plug-in interface version mismatch";
    case ControlError::UnknownClass:
        return "class not served";
    case ControlError::CreationFailed:
        return "creation failed";
    case ControlError::RegistrationFailed:
        return "registration failed";
    }
    return "unknown error";
}
