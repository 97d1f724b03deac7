# Run at install time: writes LMRA_MODULE_LINE (and LMRA_MODULE_ENVIRONMENT, lines that belong to
# it) into LMRA_MOD_FILE. A module entry is a "+" line and the lines after it up to the next "+"
# line; the entry with the same MAYAVERSION and PLATFORM as this build's is replaced, the others
# are kept as they are.
string(REGEX MATCH "^\\+ MAYAVERSION:[^ ]+ PLATFORM:[^ ]+ " lmra_key "${LMRA_MODULE_LINE}")

set(lmra_kept "")
if(EXISTS "${LMRA_MOD_FILE}")
  file(STRINGS "${LMRA_MOD_FILE}" lmra_lines)
  set(lmra_skipping FALSE)
  foreach(line IN LISTS lmra_lines)
    if(line MATCHES "^\\+")
      string(FIND "${line}" "${lmra_key}" lmra_at)
      if(lmra_at EQUAL 0)
        set(lmra_skipping TRUE)
      else()
        set(lmra_skipping FALSE)
      endif()
    endif()
    if(NOT lmra_skipping)
      string(APPEND lmra_kept "${line}\n")
    endif()
  endforeach()
endif()

set(lmra_entry "${LMRA_MODULE_LINE}\n")
foreach(line IN LISTS LMRA_MODULE_ENVIRONMENT)
  string(APPEND lmra_entry "${line}\n")
endforeach()
message(STATUS "Module entry: ${LMRA_MOD_FILE}: ${LMRA_MODULE_LINE}")
file(WRITE "${LMRA_MOD_FILE}" "${lmra_kept}${lmra_entry}")
