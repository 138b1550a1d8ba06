# add_gauge_module(NAME [DELIVERABLE] SOURCES... [RESOURCES rc] [LIBRARIES libs...])
# Builds one gauge module: a 32-bit DLL NAME.gau on Windows exporting only
# Linkage and ImportTable, a shared library NAME.so in the Linux build. Both
# land in GAUGE_MODULE_DIR. A DELIVERABLE module is installed (into dist/)
# and listed in gauge_modules.txt for the demo.
function(add_gauge_module name)
  cmake_parse_arguments(GM "DELIVERABLE" "RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${name} SHARED ${GM_SOURCES})
  target_link_libraries(${name} PRIVATE gauge_framework project_warnings ${GM_LIBRARIES})
  target_compile_options(${name} PRIVATE -fno-exceptions -fno-rtti)
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${GAUGE_MODULE_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${GAUGE_MODULE_DIR})
  if(WIN32)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/framework/module.def ${GM_RESOURCES})
    set_target_properties(${name} PROPERTIES SUFFIX ".gau")
    # Nothing beyond what every Windows machine has: the C and C++ runtime
    # support is linked in.
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  else()
    set_target_properties(${name} PROPERTIES SUFFIX ".so"
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  set_property(GLOBAL APPEND PROPERTY GAUGE_MODULES ${name})
  if(GM_DELIVERABLE)
    install(TARGETS ${name} RUNTIME DESTINATION . LIBRARY DESTINATION .)
    set_property(GLOBAL APPEND PROPERTY GAUGE_DELIVERABLES ${name})
  endif()
endfunction()
