# parvel_file_version(target "a.b.c.d"): stores the file version in the target's file, in the
# ELF section ".parvel_version", where GetFileVersionInfo reads it back (platform/base/FileVersion.cpp).
function(parvel_file_version target version)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "parvel_file_version(${target}): \"${version}\" is not a.b.c.d")
  endif()
  set(parts ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
  foreach(part IN LISTS parts)
    if(part GREATER 65535)
      message(FATAL_ERROR "parvel_file_version(${target}): each part of \"${version}\" must be at most 65535")
    endif()
  endforeach()
  list(GET parts 0 a)
  list(GET parts 1 b)
  list(GET parts 2 c)
  list(GET parts 3 d)
  math(EXPR ms "(${a} << 16) | ${b}" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR ls "(${c} << 16) | ${d}" OUTPUT_FORMAT HEXADECIMAL)

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(file_type 1) # VFT_APP
  else()
    set(file_type 2) # VFT_DLL
  endif()

  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_file_version.c)
  file(CONFIGURE OUTPUT ${source} CONTENT [[
/* Written by parvel_file_version(): the file version @version@ of @target@. */
#include <stdint.h>

struct parvel_file_version_record
{
    char magic[16];
    uint32_t fixed[13]; /* VS_FIXEDFILEINFO */
};

__attribute__((section(".parvel_version"), used, retain, aligned(4)))
static const struct parvel_file_version_record parvel_file_version = {
    "PARVEL-FILEVER1",
    { 0xFEEF04BDu, 0x00010000u, @ms@u, @ls@u, @ms@u, @ls@u, 0x3Fu, 0u, 0u, @file_type@u, 0u, 0u, 0u }
};
]] @ONLY)
  target_sources(${target} PRIVATE ${source})
endfunction()
