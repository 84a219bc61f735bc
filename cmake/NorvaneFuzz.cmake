# A fuzzing build (NORVANE_BUILD_FUZZ): clang with libFuzzer only. Every target is built with
# libFuzzer's coverage instrumentation and AddressSanitizer + UndefinedBehaviorSanitizer, so
# that the fuzz targets see into the libraries they call.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "NORVANE_BUILD_FUZZ needs clang with libFuzzer "
                        "(CC=clang CXX=clang++); the compiler is ${CMAKE_CXX_COMPILER_ID}")
endif()
if(NOT NORVANE_SANITIZE STREQUAL "")
    message(FATAL_ERROR "NORVANE_BUILD_FUZZ brings its own sanitizers; leave NORVANE_SANITIZE empty")
endif()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] NORVANE_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT NORVANE_HAVE_LIBFUZZER)
    message(FATAL_ERROR "clang cannot link with libFuzzer: install libclang-rt-14-dev")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
