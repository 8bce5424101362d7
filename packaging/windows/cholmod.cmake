# The sparse Cholesky factorisation of the inversion, for the Windows build:
# CHOLMOD's Core, Cholesky, Partition and Supernodal modules with AMD, CAMD,
# COLAMD, CCOLAMD and SuiteSparse_config from SuiteSparse's source, and
# METIS with GKlib from METIS's source, as static libraries under the names
# and include folder (include/suitesparse) Debian's Linux packages have.
# BLAS and LAPACK (OpenBLAS) are linked by the program.
#   SUITESPARSE_SOURCE  the SuiteSparse source tree
#   METIS_SOURCE        the METIS source tree
cmake_minimum_required(VERSION 3.25)
project(zel_cholmod LANGUAGES C)
set(ss ${SUITESPARSE_SOURCE})
set(config ${ss}/SuiteSparse_config)
add_compile_options(-O3 -w)

# METIS: GKlib's library functions and METIS's; GKlib's command-line getopt
# is left out (mingw-w64's __argc and __argv macros break its prototypes),
# and mingw-w64 lacks sys/resource.h, which GKlib includes for getrusage but
# never calls on Windows.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/shim/sys/resource.h "/* GKlib times itself with clock() on Windows */\n")
file(GLOB gklib ${METIS_SOURCE}/GKlib/*.c)
list(FILTER gklib EXCLUDE REGEX "/getopt\\.c$")
file(GLOB libmetis ${METIS_SOURCE}/libmetis/*.c)
add_library(metis STATIC ${gklib} ${libmetis})
target_include_directories(metis PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/shim ${METIS_SOURCE}/GKlib ${METIS_SOURCE}/libmetis
                           ${METIS_SOURCE}/include)
target_compile_definitions(metis PRIVATE USE_GKREGEX NDEBUG NDEBUG2)
target_compile_options(metis PRIVATE -std=c99 -fno-strict-aliasing)

add_library(suitesparseconfig STATIC ${config}/SuiteSparse_config.c)
target_include_directories(suitesparseconfig PRIVATE ${config})

# Each library holds its functions for int and for long indices (the latter
# named _l_), compiled from the same sources: the int ones with INT_DEFINE,
# the long ones with DLONG.
function(int_and_long name)
  cmake_parse_arguments(P "" "INT_DEFINE" "SOURCES;INCLUDES;DEFINES" ${ARGN})
  add_library(${name}_int OBJECT ${P_SOURCES})
  add_library(${name}_long OBJECT ${P_SOURCES})
  foreach(t ${name}_int ${name}_long)
    target_include_directories(${t} PRIVATE ${P_INCLUDES} ${config})
    target_compile_definitions(${t} PRIVATE ${P_DEFINES})
  endforeach()
  if(P_INT_DEFINE)
    target_compile_definitions(${name}_int PRIVATE ${P_INT_DEFINE})
  endif()
  target_compile_definitions(${name}_long PRIVATE DLONG)
  add_library(${name} STATIC $<TARGET_OBJECTS:${name}_int> $<TARGET_OBJECTS:${name}_long>)
endfunction()

file(GLOB amd ${ss}/AMD/Source/amd_*.c)
list(FILTER amd EXCLUDE REGEX "amd_global\\.c$")
int_and_long(amd SOURCES ${amd} INCLUDES ${ss}/AMD/Include INT_DEFINE DINT)
file(GLOB camd ${ss}/CAMD/Source/camd_*.c)
list(FILTER camd EXCLUDE REGEX "camd_global\\.c$")
int_and_long(camd SOURCES ${camd} INCLUDES ${ss}/CAMD/Include INT_DEFINE DINT)
int_and_long(colamd SOURCES ${ss}/COLAMD/Source/colamd.c INCLUDES ${ss}/COLAMD/Include)
int_and_long(ccolamd SOURCES ${ss}/CCOLAMD/Source/ccolamd.c INCLUDES ${ss}/CCOLAMD/Include)

set(cholmod)
foreach(module Core Cholesky Partition Supernodal)
  file(GLOB sources ${ss}/CHOLMOD/${module}/cholmod_*.c)
  list(APPEND cholmod ${sources})
endforeach()
int_and_long(cholmod SOURCES ${cholmod}
  INCLUDES ${ss}/CHOLMOD/Include ${ss}/AMD/Include ${ss}/COLAMD/Include ${ss}/CAMD/Include ${ss}/CCOLAMD/Include
           ${METIS_SOURCE}/include
  DEFINES NCHECK NMODIFY NMATRIXOPS)

install(TARGETS metis suitesparseconfig amd camd colamd ccolamd cholmod ARCHIVE DESTINATION lib)
file(GLOB headers ${ss}/CHOLMOD/Include/cholmod*.h)
install(FILES ${headers} ${config}/SuiteSparse_config.h DESTINATION include/suitesparse)
install(FILES ${METIS_SOURCE}/include/metis.h DESTINATION include)
