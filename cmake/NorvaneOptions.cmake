# Warning and sanitizer settings shared by every target of the project.

option(NORVANE_WERROR "Treat warnings as errors" ON)
set(NORVANE_SANITIZE "" CACHE STRING "Sanitizers to build with: empty, address (ASan+UBSan) or thread")
set_property(CACHE NORVANE_SANITIZE PROPERTY STRINGS "" address thread)

add_library(norvane_warnings INTERFACE)
target_compile_options(norvane_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations
    $<$<BOOL:${NORVANE_WERROR}>:-Werror>
    # GCC 12 reports false -Wrestrict overlaps inside std::string at -O2 and above.
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)

if(NORVANE_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(NORVANE_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT NORVANE_SANITIZE STREQUAL "")
    message(FATAL_ERROR "NORVANE_SANITIZE must be empty, address or thread")
endif()
