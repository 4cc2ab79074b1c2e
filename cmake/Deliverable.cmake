# Compile and link settings shared by every target of the two deliverables.
#
# The deliverables carry no C or C++ runtime of the compiler: runtime/ supplies
# the entry points and the few helpers the compiler may call, so the i686
# binaries import only system DLLs that Windows 95 has.

# -fno-tree-loop-distribute-patterns: GCC would turn our own copy loops into
# calls of memset/strlen, which the deliverables do not have (or are).
set(GLIMORA_CODE_FLAGS -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-tree-loop-distribute-patterns
    -fno-stack-protector -Wall -Wextra)
# The shipping build keeps only the code it reaches: one section a function,
# for the linker to drop the rest; no unwind tables, as nothing throws.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND GLIMORA_CODE_FLAGS -ffunction-sections -fno-asynchronous-unwind-tables
       -fno-unwind-tables)
endif()
# No uuid: the server defines the few interface identifiers it compares.
set(GLIMORA_SYSTEM_LIBS user32 gdi32 advapi32 comctl32 ole32 shell32 kernel32)

# A static library of deliverable code (also linked into test programs).
function(glimora_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${GLIMORA_CODE_FLAGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PUBLIC WIN32_LEAN_AND_MEAN _WIN32_IE=0x0300
                             WINVER=0x0400 _WIN32_WINDOWS=0x0400)
endfunction()

# Link options of a deliverable binary: no compiler runtime, only libgcc for
# the helpers GCC itself emits (stack probes, 64-bit division).
function(glimora_deliverable name)
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    target_link_libraries(${name} PRIVATE glimora_dll_entry)
  else()
    target_link_libraries(${name} PRIVATE glimora_program_entry)
  endif()
  target_compile_options(${name} PRIVATE ${GLIMORA_CODE_FLAGS})
  target_link_options(${name} PRIVATE -nostdlib -static-libgcc -s -Wl,--subsystem,windows)
  target_link_libraries(${name} PRIVATE glimora_startup ${GLIMORA_SYSTEM_LIBS} gcc)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    target_link_options(${name} PRIVATE -Wl,--gc-sections -Wl,--enable-stdcall-fixup
                        -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
                        -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
    # A program is always loaded at its own base address: it needs no relocations.
    if(NOT type STREQUAL "SHARED_LIBRARY")
      target_link_options(${name} PRIVATE -Wl,--disable-reloc-section)
    endif()
  endif()
endfunction()

# Version information of a shipping binary: product, maker, version and
# copyright from the top-level CMakeLists.txt, and the file's own description.
#   glimora_version_info(Purvix "Glimora uninstaller")
function(glimora_version_info name description)
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(file_type VFT_DLL)
  else()
    set(file_type VFT_APP)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/Version.rc.in ${rc} @ONLY)
  target_sources(${name} PRIVATE ${rc})
endfunction()
