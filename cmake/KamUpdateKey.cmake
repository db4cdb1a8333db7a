# The publisher's Ed25519 public key that the updater checks installers against, and the rule
# that keeps the demo key (whose private half is in this repository) in demo and test builds.
#
# kam_update_key_text(<value> <out_var> <error_var>): out_var gets the key as 64 lower-case hex
# digits (blanks around it ignored), or empty when value is empty; error_var gets a message when
# value is neither.
#
# kam_update_key_rule(<key_hex> <error_var> <server_variable>...): error_var gets a message when
# one of the named server addresses is not on loopback while key_hex is the demo key or empty:
# such a build is for real servers, and would run installers anyone can sign, or unsigned ones.
#
# Run as a script (cmake -DKEY=<value> [-DKAM_IMAGE_SERVER=...] [-DKAM_CONFIG_SERVER=...]
# [-DKAM_PROBE_URL=...] -P KamUpdateKey.cmake) it prints "key: <digits>" and fails where the
# configure step fails; a server not given is the demo site's.

# The demo site's key; demo/keys holds its private half.
set(KAM_DEMO_UPDATE_PUBLIC_KEY "04dfc56a1e59182e75f541f6e40880095d1057a1c64e8cb64e799f032fd3c837")

function(kam_update_key_text value out_var error_var)
  string(STRIP "${value}" key)
  string(TOLOWER "${key}" key)
  set(error "")
  if(NOT key STREQUAL "" AND NOT key MATCHES "^[0-9a-f]+$")
    set(error "is not hexadecimal")
  elseif(NOT key STREQUAL "")
    string(LENGTH "${key}" length)
    if(NOT length EQUAL 64)
      set(error "has ${length} hex digits, not 64")
    endif()
  endif()
  if(error)
    set(key "")
  endif()
  set(${out_var} "${key}" PARENT_SCOPE)
  set(${error_var} "${error}" PARENT_SCOPE)
endfunction()

# kam_is_loopback_address(<address> <out_var>): whether the address names this machine: its host
# is localhost, ::1 or 127.x.x.x (four decimal numbers), with no user name before it. Whatever
# it cannot read counts as another machine, so a doubt asks for a real key.
function(kam_is_loopback_address address out_var)
  string(STRIP "${address}" rest)
  string(TOLOWER "${rest}" rest)
  # Without a scheme the address starts with its host (libcurl reads it as http).
  if(rest MATCHES "^[a-z][a-z0-9+.-]*://(.*)$")
    set(rest "${CMAKE_MATCH_1}")
  endif()
  string(REGEX REPLACE "[/?#].*$" "" authority "${rest}")
  set(loopback FALSE)
  if(authority MATCHES "^(localhost\\.?|\\[::1\\])(:[0-9]*)?$")
    set(loopback TRUE)
  elseif(authority MATCHES "^127\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)(:[0-9]*)?$")
    set(loopback TRUE)
    foreach(part "${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}")
      string(LENGTH "${part}" length)
      if(length GREATER 3 OR part GREATER 255)
        set(loopback FALSE)
      endif()
    endforeach()
  endif()
  set(${out_var} ${loopback} PARENT_SCOPE)
endfunction()

function(kam_update_key_rule key_hex error_var)
  set(error "")
  foreach(name IN LISTS ARGN)
    kam_is_loopback_address("${${name}}" loopback)
    if(loopback)
      continue()
    endif()
    if("${key_hex}" STREQUAL "")
      set(what "is empty, which would start installers nobody signed")
    elseif("${key_hex}" STREQUAL "${KAM_DEMO_UPDATE_PUBLIC_KEY}")
      set(what "is the demo site's key, whose private half anyone can read in demo/keys")
    else()
      continue()
    endif()
    string(CONCAT error "${name} (${${name}}) is not a loopback address, so this build is for "
      "real servers, but KAM_UPDATE_PUBLIC_KEY ${what}. Set KAM_UPDATE_PUBLIC_KEY to your "
      "publisher's key: -DKAM_UPDATE_PUBLIC_KEY=\"$(scripts/sign-installer.sh --public-key "
      "publisher.pem)\" (README, \"Signed installers\").")
    break()
  endforeach()
  set(${error_var} "${error}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  kam_update_key_text("${KEY}" key error)
  if(error)
    message(FATAL_ERROR "KAM_UPDATE_PUBLIC_KEY ${error}")
  endif()
  foreach(name KAM_IMAGE_SERVER KAM_CONFIG_SERVER KAM_PROBE_URL)
    if(NOT DEFINED ${name})
      set(${name} "http://127.0.0.1:18731")
    endif()
  endforeach()
  kam_update_key_rule("${key}" error KAM_IMAGE_SERVER KAM_CONFIG_SERVER KAM_PROBE_URL)
  if(error)
    message(FATAL_ERROR "${error}")
  endif()
  message("key: ${key}")
endif()
