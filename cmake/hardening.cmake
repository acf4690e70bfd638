# Build variants that check the program rather than ship it. All are off by default.
#
#   TRELLISANE_SANITIZE=ON  AddressSanitizer and UndefinedBehaviorSanitizer over everything; the
#                           first undefined behaviour ends the test that met it.
#   TRELLISANE_TSAN=ON      ThreadSanitizer; `ctest -L threads` runs the tests whose threads
#                           are the project's own.
#   TRELLISANE_FUZZ=ON      the libFuzzer targets in fuzz/ (needs clang).
#   TRELLISANE_STRICT_WARNINGS=ON  the full warning set (-Wpedantic -Wshadow -Wconversion) as
#                           errors, for project code only.
#
# The sanitizers' run-time options and suppression files (sanitizers/) reach the tests through
# TRELLISANE_TEST_ENVIRONMENT, which tests/CMakeLists.txt adds to every test.

option(TRELLISANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TRELLISANE_TSAN "Build with ThreadSanitizer" OFF)
option(TRELLISANE_FUZZ "Build the libFuzzer targets (clang)" OFF)
option(TRELLISANE_STRICT_WARNINGS "Every warning of the full set is an error" OFF)

set(TRELLISANE_TEST_ENVIRONMENT "")
set(trellisane_sanitizers ${PROJECT_SOURCE_DIR}/sanitizers)

if(TRELLISANE_SANITIZE AND TRELLISANE_TSAN)
    message(FATAL_ERROR "TRELLISANE_SANITIZE and TRELLISANE_TSAN cannot be combined")
endif()

if(TRELLISANE_SANITIZE)
    set(trellisane_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    add_compile_options(${trellisane_flags})
    add_link_options(${trellisane_flags})
    list(APPEND TRELLISANE_TEST_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
        "LSAN_OPTIONS=suppressions=${trellisane_sanitizers}/lsan.supp:print_suppressions=0"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${trellisane_sanitizers}/ubsan.supp")
endif()

if(TRELLISANE_TSAN)
    set(trellisane_flags -fsanitize=thread -fno-omit-frame-pointer)
    add_compile_options(${trellisane_flags})
    add_link_options(${trellisane_flags})
    list(APPEND TRELLISANE_TEST_ENVIRONMENT
        "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${trellisane_sanitizers}/tsan.supp")
endif()

if(TRELLISANE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TRELLISANE_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # The libraries get coverage counters and the sanitizers; only the fuzz targets themselves
    # link libFuzzer's main (fuzz/CMakeLists.txt).
    set(trellisane_flags -fsanitize=fuzzer-no-link,address,undefined
        -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${trellisane_flags})
    add_link_options(-fsanitize=address,undefined)
endif()

if(TRELLISANE_STRICT_WARNINGS)
    add_compile_options(-Wpedantic -Wshadow -Wconversion -Werror)
endif()
