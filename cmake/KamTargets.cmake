# Target helpers. Each subsystem directory holds its logic (plain C++, no Qt) at the top
# and its Qt layer in qt/. Unit tests sit beside their code as *_test.cpp.

if(WIN32)
  set(KAM_PLATFORM windows)
else()
  set(KAM_PLATFORM linux)
endif()

# Warnings are errors only where we develop (presets, test script, CI): a user's or a
# distribution's build with another compiler must not fail on a new warning.
function(kam_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8)
    if(KAM_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      # GCC 12 in C++20 at -O3 (Release) reports a bogus overlapping memcpy inside libstdc++'s
      # operator+(const char*, std::string&&) (GCC bug 105329): any "x" + std::string(...)
      # trips it. Off for that compiler only.
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(KAM_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
endfunction()

# Collects dir/*.cpp (and dir/platform/<os>/*.cpp) without the tests.
function(kam_sources out dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(EXISTS ${dir}/platform/${KAM_PLATFORM})
    file(GLOB psrcs CONFIGURE_DEPENDS ${dir}/platform/${KAM_PLATFORM}/*.cpp)
    list(APPEND srcs ${psrcs})
  endif()
  list(FILTER srcs EXCLUDE REGEX "_test\\.cpp$")
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# Drops from the list named out every entry that matches one of the regular expressions.
function(kam_exclude out)
  set(list ${${out}})
  foreach(regex IN LISTS ARGN)
    list(FILTER list EXCLUDE REGEX "${regex}")
  endforeach()
  set(${out} ${list} PARENT_SCOPE)
endfunction()

# kam_add_tests(NAME <exe> DIR <dir> LIBS <libs...> [GUI] [LOCK <resource>] [EXCLUDE <regex...>]
#               [ONLY <regex>])
# One test executable from dir/*_test.cpp and dir/platform/<os>/*_test.cpp, without the files
# matching an EXCLUDE expression or not matching ONLY. GUI tests need a display; tests with a
# LOCK share something of the machine (a fixed port, the processes of a name). Both run each in
# namespaces of their own with their own display (KAM_TEST_LAUNCHER) side by side, or, where
# the machine gives no namespaces, one at a time on the display the test script provides.
# <resource> names what is shared; the namespaces or the one-at-a-time lock cover it.
function(kam_add_tests)
  cmake_parse_arguments(T "GUI" "NAME;DIR;LOCK;ONLY" "LIBS;EXCLUDE" ${ARGN})
  if(NOT KAM_BUILD_TESTS)
    return()
  endif()
  file(GLOB tsrcs CONFIGURE_DEPENDS ${T_DIR}/*_test.cpp
    ${T_DIR}/platform/${KAM_PLATFORM}/*_test.cpp)
  kam_exclude(tsrcs ${T_EXCLUDE})
  if(T_ONLY)
    list(FILTER tsrcs INCLUDE REGEX "${T_ONLY}")
  endif()
  if(NOT tsrcs)
    return()
  endif()
  add_executable(${T_NAME} ${tsrcs})
  kam_warnings(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} kam_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test)
  endif()
  # One value per property: discovery flattens nested lists.
  set(props "")
  if(T_GUI)
    list(APPEND props LABELS gui)
  endif()
  if((T_GUI OR T_LOCK) AND KAM_TEST_LAUNCHER)
    if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.29)
      set_property(TARGET ${T_NAME} PROPERTY TEST_LAUNCHER ${KAM_TEST_LAUNCHER})
    else()
      set_property(TARGET ${T_NAME} PROPERTY CROSSCOMPILING_EMULATOR ${KAM_TEST_LAUNCHER})
    endif()
  elseif(T_GUI OR T_LOCK)
    # One lock for all of them: they share the display and the machine's processes and ports.
    list(APPEND props RESOURCE_LOCK shared_machine ENVIRONMENT KAM_SHARED_MACHINE=1)
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One CTest entry per program: starting each test case on its own under an emulator costs
    # more than the cases themselves.
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300 ${props})
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 180 ${props})
  endif()
endfunction()

# kam_logic_library(NAME <lib> DIR <dir> [LIBS ...] [EXCLUDE <regex...>] [ONLY <regex>]
#                   [TEST_EXCLUDE <regex...>]): plain C++ library; linking Qt is refused. Sources
# and tests matching EXCLUDE are left out, as are those not matching ONLY; tests matching
# TEST_EXCLUDE too.
function(kam_logic_library)
  cmake_parse_arguments(L "" "NAME;DIR;ONLY" "LIBS;EXCLUDE;TEST_EXCLUDE" ${ARGN})
  kam_sources(srcs ${L_DIR})
  kam_exclude(srcs ${L_EXCLUDE})
  if(L_ONLY)
    list(FILTER srcs INCLUDE REGEX "${L_ONLY}")
  endif()
  if(srcs)
    add_library(${L_NAME} STATIC ${srcs})
  else()
    add_library(${L_NAME} INTERFACE)
  endif()
  if(srcs)
    kam_warnings(${L_NAME})
    target_link_libraries(${L_NAME} PUBLIC ${L_LIBS})
    set_target_properties(${L_NAME} PROPERTIES AUTOMOC OFF)
  else()
    target_include_directories(${L_NAME} INTERFACE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${L_NAME} INTERFACE ${L_LIBS})
  endif()
  foreach(lib IN LISTS L_LIBS)
    if(lib MATCHES "^Qt")
      message(FATAL_ERROR "${L_NAME} is a logic target and must not link ${lib}")
    endif()
  endforeach()
  kam_add_tests(NAME ${L_NAME}_test DIR ${L_DIR} LIBS ${L_NAME} ONLY "${L_ONLY}"
    EXCLUDE ${L_EXCLUDE} ${L_TEST_EXCLUDE})
endfunction()

# kam_qt_library(NAME <lib> DIR <dir>/qt [LIBS ...]): the thin Qt layer of a subsystem.
function(kam_qt_library)
  cmake_parse_arguments(L "" "NAME;DIR" "LIBS" ${ARGN})
  kam_sources(srcs ${L_DIR})
  file(GLOB qrcs CONFIGURE_DEPENDS ${L_DIR}/*.qrc)
  if(NOT srcs)
    add_library(${L_NAME} INTERFACE)
    target_link_libraries(${L_NAME} INTERFACE ${L_LIBS} Qt6::Widgets Qt6::WebEngineWidgets)
    return()
  endif()
  add_library(${L_NAME} STATIC ${srcs} ${qrcs})
  kam_warnings(${L_NAME})
  set_target_properties(${L_NAME} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_link_libraries(${L_NAME} PUBLIC ${L_LIBS} Qt6::Widgets Qt6::WebEngineWidgets)
  kam_add_tests(NAME ${L_NAME}_test DIR ${L_DIR} LIBS ${L_NAME} GUI)
endfunction()
