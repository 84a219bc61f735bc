#pragma once

#include <string_view>

// Why a control could not be created or a plug-in not (un)registered.
enum class ControlError {
    None,
    InvalidClassId, // the text is not a class identifier
    NotRegistered, // no registration entry names a library for the class
    LibraryMissing, // the registered or given library file does not exist
    LibraryNotLoadable, // the file exists but the loader refused it
    EntryPointMissing, // the library lacks one of the plug-in entry points
    AbiMismatch, // the plug-in was built for another version of the plug-in interface
    UnknownClass, // the plug-in does not serve the class
    CreationFailed, // the plug-in failed to make the instance
    RegistrationFailed, // the plug-in's register or unregister entry point failed
};

// A short name of the error for messages and tests ("not registered").
std::string_view controlErrorName(ControlError error);
