# Builds the editor page (editor-page/) into lib/ of the application folder.
# The page's npm packages are installed by scripts/bootstrap (npm ci); the
# build only assembles them, so it needs no network.

find_program(NODE_EXECUTABLE NAMES node nodejs)
set(ZORVANE_EDITOR_PAGE_DIR "${CMAKE_CURRENT_SOURCE_DIR}/editor-page")
set(ZORVANE_EDITOR_PAGE_STAMP "${ZORVANE_EDITOR_PAGE_DIR}/node_modules/.package-lock.json")

if(NOT NODE_EXECUTABLE)
    message(FATAL_ERROR "Node.js is needed to build the editor page: run scripts/bootstrap")
endif()
if(NOT EXISTS "${ZORVANE_EDITOR_PAGE_STAMP}")
    message(FATAL_ERROR
        "The editor page's npm packages are missing (${ZORVANE_EDITOR_PAGE_DIR}/node_modules): "
        "run scripts/bootstrap")
endif()

file(GLOB ZORVANE_EDITOR_PAGE_SOURCES CONFIGURE_DEPENDS
    "${ZORVANE_EDITOR_PAGE_DIR}/src/*"
    "${ZORVANE_EDITOR_PAGE_DIR}/build.mjs"
    "${ZORVANE_EDITOR_PAGE_DIR}/package-lock.json")

set(ZORVANE_EDITOR_PAGE_OUTPUT "${ZORVANE_APP_DIR}/lib/index.html")
add_custom_command(
    OUTPUT "${ZORVANE_EDITOR_PAGE_OUTPUT}"
    COMMAND "${NODE_EXECUTABLE}" "${ZORVANE_EDITOR_PAGE_DIR}/build.mjs" "${ZORVANE_APP_DIR}/lib"
    # build.mjs copies with the sources' times; touch so the rule is not rerun for nothing.
    COMMAND ${CMAKE_COMMAND} -E touch "${ZORVANE_EDITOR_PAGE_OUTPUT}"
    DEPENDS ${ZORVANE_EDITOR_PAGE_SOURCES} "${ZORVANE_EDITOR_PAGE_STAMP}"
    WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
    COMMENT "Building the editor page into ${ZORVANE_APP_DIR}/lib"
    VERBATIM)
add_custom_target(editor_page ALL DEPENDS "${ZORVANE_EDITOR_PAGE_OUTPUT}")

# The page's own rules (sanitizer, value clean-up, build output) under Node's
# test runner; the real-browser checks live with the editor host's tests.
if(ZORVANE_TESTS)
    add_test(NAME editor_page_node_tests
        COMMAND "${NODE_EXECUTABLE}" --test test/
        WORKING_DIRECTORY "${ZORVANE_EDITOR_PAGE_DIR}")
    set_tests_properties(editor_page_node_tests PROPERTIES TIMEOUT 120)
endif()
