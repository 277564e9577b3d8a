# The package build (scripts/package passes ZARIREVO_DPKG_BUILDFLAGS=ON)
# compiles and links with Debian's build flags, all hardening on:
# -D_FORTIFY_SOURCE=2, the stack protector, format checks, -z relro and
# -z now. Included before any target, so that every program gets them.
option(ZARIREVO_DPKG_BUILDFLAGS "Compile and link with the flags of dpkg-buildflags" OFF)
if(ZARIREVO_DPKG_BUILDFLAGS)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${DPKG_BUILDFLAGS} --get ${kind}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE dpkg_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_CXX_FLAGS " ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${dpkg_LDFLAGS}")
endif()
