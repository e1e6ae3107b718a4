# Compile and link settings of the shipped programs and of the code they share.
#
# The programs are plain procedural C++ against the ANSI Win32 API: no C++
# runtime at run time (no exceptions, no RTTI), linked statically so that they
# import nothing but Windows system DLLs, small, and byte-for-byte
# reproducible (no link time stamp, no build paths).

set(ZX_PRODUCT_COMPILE_OPTIONS
  -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
  -fno-unwind-tables -ffunction-sections -fdata-sections
  -Wall -Wextra -Werror
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
  -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
set(ZX_PRODUCT_LINK_OPTIONS
  -static -s -mwindows -Wl,--gc-sections -Wl,--no-insert-timestamp
  -Wl,--build-id=none)

# Product code that several targets share (common/).
function(zx_product_library target)
  target_compile_options(${target} PRIVATE ${ZX_PRODUCT_COMPILE_OPTIONS})
  target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
endfunction()

# One shipped program:
#   zx_deliverable(Kaplet SOURCES ... RESOURCES x.rc LIBS ...
#                  [RESOURCE_DIR dir DRAWN_BY script.py IMAGES file... RESOURCE_DEPENDS file...])
# The pictures and icons named by IMAGES are drawn at build time by
# RESOURCE_DIR/script.py (standard library only) into a folder of the build,
# which windres searches together with RESOURCE_DIR.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(zx_deliverable target)
  cmake_parse_arguments(ARG "" "RESOURCE_DIR;DRAWN_BY" "SOURCES;RESOURCES;LIBS;IMAGES;RESOURCE_DEPENDS" ${ARGN})
  add_executable(${target} WIN32 ${ARG_SOURCES} ${ARG_RESOURCES})
  if(ARG_DRAWN_BY)
    set(image_dir ${CMAKE_CURRENT_BINARY_DIR}/images)
    list(TRANSFORM ARG_IMAGES PREPEND ${image_dir}/ OUTPUT_VARIABLE images)
    add_custom_command(OUTPUT ${images}
      COMMAND Python3::Interpreter ${ARG_RESOURCE_DIR}/${ARG_DRAWN_BY} ${image_dir}
      DEPENDS ${ARG_RESOURCE_DIR}/${ARG_DRAWN_BY} ${CMAKE_SOURCE_DIR}/resources/imagefiles.py
      COMMENT "Drawing the pictures of ${target}.exe"
      VERBATIM)
    set_property(SOURCE ${ARG_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS ${images} ${ARG_RESOURCE_DEPENDS})
    target_include_directories(${target} PRIVATE ${ARG_RESOURCE_DIR} ${image_dir})
  endif()
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:${ZX_PRODUCT_COMPILE_OPTIONS}>)
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
  # The project's version, as numbers, for resources/version.rc.
  set(version ZX_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} ZX_VERSION_MINOR=${PROJECT_VERSION_MINOR}
              ZX_VERSION_PATCH=${PROJECT_VERSION_PATCH} ZX_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})
  target_compile_definitions(${target} PRIVATE "$<$<COMPILE_LANGUAGE:RC>:${version}>")
  set_property(SOURCE ${ARG_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/version.rc)
  target_link_options(${target} PRIVATE ${ZX_PRODUCT_LINK_OPTIONS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
endfunction()
