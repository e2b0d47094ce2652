# cmake -DBUILD=<build dir> -DSCRATCH=<empty folder> -P install_check.cmake
# Installs the build into SCRATCH twice and checks what a user gets.
file(REMOVE_RECURSE "${SCRATCH}")
set(prefix "${SCRATCH}/my programs")

function(install_once)
    execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
                    RESULT_VARIABLE rc OUTPUT_QUIET TIMEOUT 60)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cmake --install failed: ${rc}")
    endif()
endfunction()

install_once()
foreach(program vorlek vorlek-db vorlek-meter)
    if(EXISTS "${BUILD}/bin/${program}" AND NOT EXISTS "${prefix}/bin/${program}")
        message(FATAL_ERROR "${program} not installed")
    endif()
endforeach()
if(NOT EXISTS "${prefix}/bin/vorlek")
    message(FATAL_ERROR "vorlek not installed")
endif()
if(EXISTS "${BUILD}/bin/VorlekII.mdb" AND NOT EXISTS "${prefix}/bin/VorlekII.mdb")
    message(FATAL_ERROR "the database is not beside the program")
endif()

file(READ "${prefix}/share/applications/vorlek.desktop" entry)
string(FIND "${entry}" "\nExec=\"${prefix}/bin/vorlek\"\n" at)
if(at EQUAL -1)
    message(FATAL_ERROR "desktop entry does not start the installed program:\n${entry}")
endif()

# A second install keeps the user's database.
file(WRITE "${prefix}/bin/VorlekII.mdb" "the user's channels")
install_once()
file(READ "${prefix}/bin/VorlekII.mdb" kept)
if(NOT kept STREQUAL "the user's channels")
    message(FATAL_ERROR "the user's database was replaced")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
