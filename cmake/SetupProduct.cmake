# Building a product's setup.exe in the cross build.
#
#   add_setup_product(<name>
#       SETTINGS <settings.xml>      # the product's settings document (plain XML)
#       PRODUCT_DIR <folder>         # holds the files the settings name (package, runtimes),
#                                    # the help files and optionally icon.ico
#       VERSION <a.b.c.d>            # ProductVersion and FileVersion of setup.exe
#       [DEPENDS <targets or files>])
#
# produces ${CMAKE_BINARY_DIR}/products/<name>/setup.exe with the scrambled settings and
# the payload embedded, and the product's help files beside it.
include(ExternalProject)

# setup-pack runs on the build machine, so it comes from a native sub-build.
set(SETUP_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(SETUP_PACK ${SETUP_HOST_TOOLS_DIR}/tools/setup-pack)
ExternalProject_Add(host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${SETUP_HOST_TOOLS_DIR}
  CMAKE_ARGS -DSETUP_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${SETUP_PACK}
)

function(add_setup_product name)
  cmake_parse_arguments(P "" "SETTINGS;PRODUCT_DIR;VERSION" "DEPENDS" ${ARGN})
  if(NOT P_SETTINGS OR NOT P_PRODUCT_DIR OR NOT P_VERSION)
    message(FATAL_ERROR "add_setup_product(${name}) needs SETTINGS, PRODUCT_DIR and VERSION")
  endif()
  set(gen ${CMAKE_BINARY_DIR}/product-gen/${name})
  set(out ${CMAKE_BINARY_DIR}/products/${name})

  add_custom_command(
    OUTPUT ${gen}/payload.rc ${gen}/settings.bin ${gen}/product_version.h
    COMMAND ${SETUP_PACK} ${P_SETTINGS} ${P_PRODUCT_DIR} ${gen} ${P_VERSION}
            ${CMAKE_SOURCE_DIR}/res/setup.ico
    DEPENDS host_tools ${SETUP_PACK} ${P_SETTINGS} ${P_DEPENDS}
    COMMENT "Packing ${name}: settings and payload"
    VERBATIM)

  set(target setup_${name})
  add_executable(${target} WIN32
    ${CMAKE_SOURCE_DIR}/app/win32/main.cpp
    ${CMAKE_SOURCE_DIR}/app/win32/terminate_handler.cpp
    ${CMAKE_SOURCE_DIR}/res/setup.rc
    ${CMAKE_SOURCE_DIR}/res/pages.rc
    ${gen}/payload.rc)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/res/pages.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/header.bmp;${CMAKE_SOURCE_DIR}/res/header@2x.bmp;${CMAKE_SOURCE_DIR}/res/pages_ids.h")
  set_source_files_properties(${CMAKE_SOURCE_DIR}/res/setup.rc PROPERTIES
    OBJECT_DEPENDS "${gen}/product_version.h;${CMAKE_SOURCE_DIR}/res/setup.manifest;${CMAKE_SOURCE_DIR}/res/setup.ico")
  set_source_files_properties(${gen}/payload.rc PROPERTIES OBJECT_DEPENDS "${gen}/settings.bin")
  target_include_directories(${target} PRIVATE ${gen} ${CMAKE_SOURCE_DIR}/res)
  target_link_libraries(${target} PRIVATE setup_app setup_ui_win32 setup_windows_program)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME setup RUNTIME_OUTPUT_DIRECTORY ${out})

  # Help files travel beside the launcher, which stages them at start-up.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${P_PRODUCT_DIR} -DTARGET=${out}
            -P ${CMAKE_SOURCE_DIR}/cmake/CopyHelpFiles.cmake
    VERBATIM)
endfunction()
