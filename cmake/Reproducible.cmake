# The same sources give the same bytes: the only time that enters a built file is
# SETUP_SOURCE_DATE_EPOCH, taken from the environment's SOURCE_DATE_EPOCH at configure
# time (a release sets it), else the last commit's time. Tools that read the clock or the
# locale run through SETUP_TOOL_ENV.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(SETUP_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git QUIET)
  set(SETUP_SOURCE_DATE_EPOCH "")
  if(GIT_EXECUTABLE)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE SETUP_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE git_result)
    if(NOT git_result EQUAL 0)
      set(SETUP_SOURCE_DATE_EPOCH "")
    endif()
    # A new commit is a new time: look again when HEAD moves.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(git_dir AND EXISTS ${git_dir}/logs/HEAD)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
    endif()
  endif()
  if(SETUP_SOURCE_DATE_EPOCH STREQUAL "")
    message(WARNING "No git history and no SOURCE_DATE_EPOCH: built files carry the time 0")
    set(SETUP_SOURCE_DATE_EPOCH 0)
  endif()
endif()
if(NOT SETUP_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not \"${SETUP_SOURCE_DATE_EPOCH}\"")
endif()

set(SETUP_TOOL_ENV ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SETUP_SOURCE_DATE_EPOCH} TZ=UTC LC_ALL=C)
# Rewritten only when the time changes, so outputs that depend on it are remade then.
set(SETUP_SOURCE_DATE_FILE ${CMAKE_BINARY_DIR}/source_date_epoch.txt)
file(CONFIGURE OUTPUT ${SETUP_SOURCE_DATE_FILE} CONTENT "${SETUP_SOURCE_DATE_EPOCH}\n")

# binutils' PE linker stamps the file (and so its checksum) with SOURCE_DATE_EPOCH when
# it is set, else with the clock.
foreach(lang C CXX)
  set(CMAKE_${lang}_LINKER_LAUNCHER ${SETUP_TOOL_ENV})
endforeach()
# No build folder or source folder in what is compiled (__FILE__, debug sections).
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=;-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
