# Packs an empty folder into ARCHIVE with TOOL, unless ARCHIVE exists.
if(NOT EXISTS "${ARCHIVE}")
  file(MAKE_DIRECTORY "${EMPTY}")
  execute_process(COMMAND "${TOOL}" pack "${EMPTY}" "${ARCHIVE}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not write the placeholder data archive ${ARCHIVE}")
  endif()
endif()
