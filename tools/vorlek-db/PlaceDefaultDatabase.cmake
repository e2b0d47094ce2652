# cmake -DTOOL=vorlek-db -DDATABASE=path/VorlekII.mdb -P PlaceDefaultDatabase.cmake
if(NOT EXISTS "${DATABASE}")
    execute_process(COMMAND "${TOOL}" create "${DATABASE}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "could not create ${DATABASE}")
    endif()
endif()
