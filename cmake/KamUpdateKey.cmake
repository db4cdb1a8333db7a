# The publisher's Ed25519 public key that the updater checks installers against.
#
# kam_update_key_text(<value> <out_var> <error_var>): out_var gets the key as 64 lower-case hex
# digits (blanks around it ignored), or empty when value is empty; error_var gets a message when
# value is neither.
#
# Run as a script (cmake -DKEY=<value> -P KamUpdateKey.cmake) it prints "key: <digits>" and
# fails on a malformed value, which is how the tests check the rule the configure step applies.
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

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  kam_update_key_text("${KEY}" key error)
  if(error)
    message(FATAL_ERROR "KAM_UPDATE_PUBLIC_KEY ${error}")
  endif()
  message("key: ${key}")
endif()
