# Fails when a text the program shows has no translation: runs lupdate over
# the sources into a copy of the translation file and looks for messages
# that are unfinished there, and for stale ones in the file itself. NEED is
# "all" (every text needs its translation) or "english-source" (only texts
# written in English in the source: the Russian file).
#   cmake -DLUPDATE=... -DTS=... -DNEED=all -DSOURCES=a;b -DOUT=stamp -P TranslationsComplete.cmake
get_filename_component(name ${TS} NAME)
set(copy ${OUT}.${name})
file(COPY_FILE ${TS} ${copy})
execute_process(COMMAND ${LUPDATE} -silent -locations none -no-obsolete ${SOURCES} -ts ${copy}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed on ${TS}:\n${errors}")
endif()

string(ASCII 208 lead1)
string(ASCII 209 lead2)
set(cyrillic "${lead1}${lead2}")

function(zel_messages_marked file mark result)
  file(READ ${file} xml)
  # A semicolon would split the list of messages found: the entities have them.
  string(REPLACE ";" "%SEMICOLON%" xml "${xml}")
  string(REGEX MATCHALL "<source>[^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*)?<translation type=\"${mark}\"" found "${xml}")
  set(list "")
  foreach(message IN LISTS found)
    string(REGEX REPLACE "^<source>([^<]*)</source>.*" "  \\1" text "${message}")
    # A Russian text (Cyrillic letters begin with the bytes D0 or D1) is the
    # program's own in Russian: the Russian file leaves it be.
    if(mark STREQUAL "unfinished" AND NEED STREQUAL "english-source" AND text MATCHES "[${cyrillic}]")
      continue()
    endif()
    string(REPLACE "%SEMICOLON%" ";" text "${text}")
    string(APPEND list "${text}\n")
  endforeach()
  set(${result} "${list}" PARENT_SCOPE)
endfunction()

zel_messages_marked(${copy} "unfinished" untranslated)
zel_messages_marked(${TS} "(vanished|obsolete)" stale)
if(untranslated)
  message(FATAL_ERROR "${name} lacks the translation of texts the program shows. Build the target "
                      "update_translations, then translate:\n${untranslated}")
endif()
if(stale)
  message(FATAL_ERROR "${name} keeps texts the program no longer has: build the target update_translations.\n${stale}")
endif()
file(TOUCH ${OUT})
