# add_gauge_module(NAME [DELIVERABLE] SOURCES... [RESOURCES rc] [LIBRARIES libs...])
# Builds one gauge module: a 32-bit DLL NAME.gau on Windows exporting only
# Linkage and ImportTable, a shared library NAME.so in the Linux build. Both
# land in GAUGE_MODULE_DIR. The bitmaps the resource script names are
# compiled into the DLL; the Linux build, which has no resources, puts them
# beside the module in a folder of its name. A DELIVERABLE module is
# installed (into dist/) and listed in gauge_modules.txt for the demo.
function(add_gauge_module name)
  cmake_parse_arguments(GM "DELIVERABLE" "RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${name} SHARED ${GM_SOURCES})
  target_link_libraries(${name} PRIVATE gauge_framework project_warnings ${GM_LIBRARIES})
  target_compile_options(${name} PRIVATE -fno-exceptions -fno-rtti)
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${GAUGE_MODULE_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${GAUGE_MODULE_DIR})
  if(GM_RESOURCES)
    file(STRINGS ${GM_RESOURCES} bitmap_lines REGEX "BITMAP")
    set(bitmaps)
    foreach(line IN LISTS bitmap_lines)
      string(REGEX REPLACE ".*\"(.*)\".*" "\\1" file "${line}")
      list(APPEND bitmaps ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endforeach()
    set_property(TARGET ${name} PROPERTY GAUGE_BITMAPS ${bitmaps})
  endif()
  if(WIN32)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/framework/module.def ${GM_RESOURCES})
    # Rebuild the resources whenever a bitmap changes.
    if(GM_RESOURCES)
      set_source_files_properties(${GM_RESOURCES} PROPERTIES OBJECT_DEPENDS "${bitmaps}")
    endif()
    set_target_properties(${name} PROPERTIES SUFFIX ".gau")
    # Nothing beyond what every Windows machine has: the C and C++ runtime
    # support is linked in.
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -s)
    # Nothing unwinds through a module: no unwind tables.
    target_compile_options(${name} PRIVATE -fno-asynchronous-unwind-tables)
  else()
    set_target_properties(${name} PROPERTIES SUFFIX ".so"
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    # A module resolves everything when it is linked, but under clang's
    # sanitizers, whose runtime the fuzzing program carries.
    if(NOT GAUGE_FUZZ)
      target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    if(GM_RESOURCES)
      set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}_bitmaps.stamp)
      add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${GAUGE_MODULE_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${GAUGE_MODULE_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${bitmaps} ${GAUGE_MODULE_DIR}/${name}/
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${bitmaps} ${GM_RESOURCES}
        VERBATIM)
      add_custom_target(${name}_bitmaps DEPENDS ${stamp})
      add_dependencies(${name} ${name}_bitmaps)
    endif()
  endif()
  set_property(GLOBAL APPEND PROPERTY GAUGE_MODULES ${name})
  if(GM_DELIVERABLE)
    install(TARGETS ${name} RUNTIME DESTINATION . LIBRARY DESTINATION .)
    set_property(GLOBAL APPEND PROPERTY GAUGE_DELIVERABLES ${name})
  endif()
endfunction()
