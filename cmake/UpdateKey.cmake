# The maker's public key, which installations check update packages against:
# Patchwell installs nothing without it. A build names the key file with
#   cmake --preset default -DZORVANE_UPDATE_KEY=/path/to/update.pub
# and the application folder gets it as setting/update.pub.
set(ZORVANE_UPDATE_KEY "" CACHE FILEPATH
    "The maker's minisign public key, copied into the application folder as setting/update.pub")

set(ZORVANE_UPDATE_KEY_COMMAND)
if(ZORVANE_UPDATE_KEY)
    if(NOT EXISTS "${ZORVANE_UPDATE_KEY}" OR IS_DIRECTORY "${ZORVANE_UPDATE_KEY}")
        message(FATAL_ERROR "ZORVANE_UPDATE_KEY: no such file: ${ZORVANE_UPDATE_KEY}")
    endif()
    # What minisign -G writes: a comment line, then "Ed", the key id and the
    # key in base64 (56 characters, beginning "RW").
    file(STRINGS "${ZORVANE_UPDATE_KEY}" lines LIMIT_COUNT 2)
    list(LENGTH lines count)
    if(count LESS 2)
        set(lines "" "")
    endif()
    list(GET lines 0 comment)
    list(GET lines 1 key)
    if(NOT comment MATCHES "^untrusted comment:" OR NOT key MATCHES "^RW[A-Za-z0-9+/]+$")
        message(FATAL_ERROR "ZORVANE_UPDATE_KEY: ${ZORVANE_UPDATE_KEY} is not a minisign public key "
                            "(minisign -G -p update.pub -s update.key makes one)")
    endif()
    string(LENGTH "${key}" length)
    if(NOT length EQUAL 56)
        message(FATAL_ERROR "ZORVANE_UPDATE_KEY: ${ZORVANE_UPDATE_KEY} is not a minisign public key")
    endif()
    message(STATUS "Update key: ${ZORVANE_UPDATE_KEY} -> setting/update.pub")
    set(ZORVANE_UPDATE_KEY_COMMAND
        COMMAND ${CMAKE_COMMAND} -E copy "${ZORVANE_UPDATE_KEY}" "${ZORVANE_APP_DIR}/setting/update.pub")
else()
    message(STATUS "No update key (ZORVANE_UPDATE_KEY): the built Patchwell installs no update")
endif()
