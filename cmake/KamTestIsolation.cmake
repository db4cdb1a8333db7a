# Whether the GUI and whole-program tests run each in namespaces of their own
# (scripts/isolated.sh: private PID and network namespace, own display), side by side, or one
# at a time on the shared display where the machine gives no namespaces. Sets KAM_TEST_LAUNCHER
# (empty: one at a time) and writes the outcome to <build>/test-isolation.txt for the test script.
set(KAM_TEST_ISOLATION "auto" CACHE STRING
  "auto: run GUI and whole-program tests in namespaces of their own when possible; off: one at a time")
set_property(CACHE KAM_TEST_ISOLATION PROPERTY STRINGS auto off)

set(KAM_TEST_LAUNCHER "")
set(_kam_isolation_note "")
if(WIN32 OR CMAKE_CROSSCOMPILING OR NOT CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  set(_kam_isolation_note "not on this platform")
elseif(KAM_TEST_ISOLATION STREQUAL "off")
  set(_kam_isolation_note "KAM_TEST_ISOLATION is off")
else()
  execute_process(
    COMMAND unshare --pid --net --fork --mount-proc sh -c "ip link set lo up"
    RESULT_VARIABLE _kam_ns_rc OUTPUT_QUIET ERROR_VARIABLE _kam_ns_err TIMEOUT 20)
  if(_kam_ns_rc EQUAL 0)
    set(KAM_TEST_LAUNCHER ${PROJECT_SOURCE_DIR}/scripts/isolated.sh)
  else()
    string(STRIP "${_kam_ns_err}" _kam_ns_err)
    set(_kam_isolation_note "no private PID and network namespace here (${_kam_ns_err})")
  endif()
endif()

if(KAM_TEST_LAUNCHER)
  file(WRITE ${CMAKE_BINARY_DIR}/test-isolation.txt
    "isolated: GUI and whole-program tests run each in its own PID and network namespace, side by side\n")
else()
  file(WRITE ${CMAKE_BINARY_DIR}/test-isolation.txt
    "serial: GUI and whole-program tests run one at a time on a shared display: ${_kam_isolation_note}\n")
  message(STATUS "Tests: ${_kam_isolation_note}; GUI and whole-program tests run one at a time")
endif()
