# The texts of a library in both languages of the interface. SOURCES are
# scanned for texts; <prefix>_en.ts holds the English of every text,
# <prefix>_ru.ts the Russian of every text written in English in the source
# (one the station program itself shows in English keeps it). The build stops
# on a text without its translation; the target update_translations brings
# new texts into both files.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

function(zel_add_translations target prefix)
  set(sources ${ARGN})
  list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  set(en ${CMAKE_CURRENT_SOURCE_DIR}/translations/${prefix}_en.ts)
  set(ru ${CMAKE_CURRENT_SOURCE_DIR}/translations/${prefix}_ru.ts)
  qt_add_translations(${target} TS_FILES ${en} ${ru} SOURCES ${sources}
    LUPDATE_OPTIONS -locations none -no-obsolete)
  set(checked)
  foreach(pair "${en}|all" "${ru}|english-source")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 ts)
    list(GET pair 1 need)
    get_filename_component(name ${ts} NAME_WE)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}_complete.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:Qt6::lupdate> -DTS=${ts} -DNEED=${need}
              "-DSOURCES=${sources}" -DOUT=${stamp}
              -P ${PROJECT_SOURCE_DIR}/cmake/TranslationsComplete.cmake
      DEPENDS ${ts} ${sources} ${PROJECT_SOURCE_DIR}/cmake/TranslationsComplete.cmake
      COMMENT "Checking that every text of ${name} has its translation"
      VERBATIM)
    list(APPEND checked ${stamp})
  endforeach()
  add_custom_target(${target}_translations_complete DEPENDS ${checked})
  add_dependencies(${target} ${target}_translations_complete)
endfunction()
