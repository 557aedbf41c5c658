# ZEL.rc and its icons and bitmaps, made at build time: zel_resources, built for the build
# machine with its own compiler and Qt (cmake/host-tools), renders artwork/<id>.svg as the Linux
# build draws them and writes the script from the menu and picture tables; windres compiles it
# into every program that links zel_res. Nothing made here is kept in the sources.
include(ExternalProject)
enable_language(RC)

set(ZEL_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(ZEL_RESOURCES_TOOL ${ZEL_HOST_TOOLS_DIR}/zel_resources)
ExternalProject_Add(zel_host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/cmake/host-tools
    BINARY_DIR ${ZEL_HOST_TOOLS_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -Wno-dev --log-level=WARNING
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${ZEL_RESOURCES_TOOL}
    INSTALL_COMMAND "")

set(out ${CMAKE_CURRENT_BINARY_DIR}/resources)
file(GLOB ZEL_ARTWORK CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/artwork/*.svg)
add_custom_command(OUTPUT ${out}/ZEL.rc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${ZEL_RESOURCES_TOOL} ${CMAKE_CURRENT_SOURCE_DIR}/artwork ${out}
    DEPENDS zel_host_tools ${ZEL_RESOURCES_TOOL} ${ZEL_ARTWORK}
    COMMENT "Rendering ZEL's pictures and writing ZEL.rc"
    VERBATIM)

add_library(zel_res_pictures OBJECT ${out}/ZEL.rc)
# windres finds the pictures the script names beside it.
target_include_directories(zel_res_pictures PRIVATE ${out})
target_sources(zel_res INTERFACE $<TARGET_OBJECTS:zel_res_pictures>)
