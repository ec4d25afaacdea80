# Project-wide build habits: strict warnings, Qt string hygiene, and the
# helpers every folder uses to declare its library and its tests.

add_compile_definitions(
    QT_NO_CAST_TO_ASCII
    QT_RESTRICTED_CAST_FROM_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_NO_KEYWORDS)

if(ZORVANE_FUZZ)
    # -O1, as libFuzzer advises: unoptimised, a reader of a megabyte takes
    # seconds under the sanitizers, and the time-out that finds readers slow
    # in the square of their input would find them all slow.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g -O1)
    add_link_options(-fsanitize=address,undefined)
endif()

function(zorvane_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# zorvane_add_library(<folder> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One static library per folder under src/, named zorvane_<folder>.
function(zorvane_add_library folder)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    set(target zorvane_${folder})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    zorvane_strict(${target})
endfunction()

# zorvane_add_qtest(<name> SOURCES ... LIBS ... [WEBENGINE])
# One QtTest executable registered with CTest. Widget tests run offscreen;
# WebEngine tests need a real X server, so they run under xvfb-run; the
# server stays up between clients (-noreset), so a test that starts programs
# one after another never meets it resetting.
function(zorvane_add_qtest name)
    if(NOT ZORVANE_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "WEBENGINE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        ZORVANE_APPDIR_TEMPLATE="${ZORVANE_APPDIR_TEMPLATE}"
        ZORVANE_APP_DIR="${ZORVANE_APP_DIR}"
        ZORVANE_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/../shared/samples"
        ZORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    zorvane_strict(${name})
    if(ARG_WEBENGINE)
        find_program(XVFB_RUN xvfb-run REQUIRED)
        add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x900x24 -noreset" $<TARGET_FILE:${name}>)
        set(env "QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox --disable-gpu --disable-background-networking"
                "QT_QPA_PLATFORM=xcb")
    else()
        add_test(NAME ${name} COMMAND ${name})
        set(env "QT_QPA_PLATFORM=offscreen")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# zorvane_forbid_widgets(<target>...)
# Windows live in the shell and above: a library below it that reached Qt
# Widgets, even through another library, would put a QApplication into every
# logic test and into zorvane-cli. Stops the configure step when one does.
#
# _zorvane_collect_links(<target> <out>): every target and library name
# reached from target through its link interface.
function(_zorvane_collect_links target out)
    set(seen ${${out}})
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen)
            continue()
        endif()
        # Imported Qt targets are visible only in the folder that found them:
        # every name counts, and only the targets seen from here are followed.
        list(APPEND seen ${current})
        if(NOT TARGET ${current})
            continue()
        endif()
        get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
        if(NOT links)
            set(links "")
        endif()
        get_target_property(type ${current} TYPE)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(own ${current} LINK_LIBRARIES)
            if(own)
                list(APPEND links ${own})
            endif()
        endif()
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link AND NOT link MATCHES "^\\$<")
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Stops the configure step when one of the targets reaches a link whose name
# matches pattern; message says why it must not.
function(_zorvane_forbid_links pattern message)
    foreach(target IN LISTS ARGN)
        if(NOT TARGET ${target})
            continue()
        endif()
        set(reached "")
        _zorvane_collect_links(${target} reached)
        foreach(name IN LISTS reached)
            if(name MATCHES "${pattern}")
                message(FATAL_ERROR "${target} links ${name}; ${message}")
            endif()
        endforeach()
    endforeach()
endfunction()

function(zorvane_forbid_widgets)
    _zorvane_forbid_links("^Qt6?::[A-Za-z]*Widgets$" "windows belong to the shell and its own dialog targets" ${ARGN})
endfunction()

# zorvane_forbid_network(<target>...)
# The formatting pipeline and the text checks work on an article alone: a
# library of theirs that reached Qt Network would bring sockets into every
# formatting run and into the formatter's tests. Stops the configure step
# when one does.
function(zorvane_forbid_network)
    _zorvane_forbid_links("^Qt6?::Network$" "the formatter and the text checks ask no server" ${ARGN})
endfunction()

# zorvane_forbid_settings(<target>...)
# The same libraries are given their options by the command that runs them
# (snapshot/): one that reached the settings library could read the settings
# file behind the command's back. Stops the configure step when one does.
function(zorvane_forbid_settings)
    _zorvane_forbid_links("^zorvane_settings$" "options come from the command's settings snapshot" ${ARGN})
endfunction()
