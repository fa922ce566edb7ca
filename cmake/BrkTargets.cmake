# Settings shared by every target of our own (third-party code is built
# without them): the language level, warnings as errors, and Unicode Win32.
include(GoogleTest)

function(brk_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX
                                                 WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
  endif()
endfunction()

# brk_add_gtest(<name> SOURCES <files...> [LIBS <targets...>] [USES_DISPLAY])
# One GoogleTest executable; each test case becomes a ctest test. Discovery
# runs when ctest runs (under Wine for the Windows build), not at build time,
# so that building needs no Wine session. USES_DISPLAY: the tests show
# windows or ask who is in front, so they never run beside each other.
function(brk_add_gtest name)
  cmake_parse_arguments(ARG "USES_DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  set(lock)
  if(ARG_USES_DISPLAY)
    set(lock RESOURCE_LOCK display)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  brk_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 600 ${lock})
endfunction()
