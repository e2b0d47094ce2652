# Run by cmake --install: CMAKE_INSTALL_PREFIX is the prefix being installed to.
# A relative prefix is taken from the working folder, as the files themselves are.
if(NOT IS_ABSOLUTE "${CMAKE_INSTALL_PREFIX}")
    set(prefix "$ENV{PWD}/${CMAKE_INSTALL_PREFIX}")
else()
    set(prefix "${CMAKE_INSTALL_PREFIX}")
endif()
set(bindir "${prefix}/${VORLEK_BINDIR}")
set(dest "$ENV{DESTDIR}${bindir}")

# A database that is already there holds the user's channel list and is kept.
if(EXISTS "${dest}/VorlekII.mdb")
    message(STATUS "Keeping: ${dest}/VorlekII.mdb")
elseif(EXISTS "${VORLEK_BUILT_DATABASE}")
    message(STATUS "Installing: ${dest}/VorlekII.mdb")
    file(COPY_FILE "${VORLEK_BUILT_DATABASE}" "${dest}/VorlekII.mdb")
endif()

# Exec= quoting as desktop entries want it: inside double quotes, \ " ` $ take a
# backslash; then the value itself doubles every backslash, and % is doubled.
set(exec "${bindir}/vorlek")
if(exec MATCHES "[^A-Za-z0-9_./+-]")
    string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
    string(REPLACE "\\" "\\\\" exec "${exec}")
endif()
string(REPLACE "%" "%%" exec "${exec}")

set(apps "$ENV{DESTDIR}${prefix}/${VORLEK_APPSDIR}")
message(STATUS "Installing: ${apps}/vorlek.desktop")
file(WRITE "${apps}/vorlek.desktop" "[Desktop Entry]
Type=Application
Name=Digital Vorlek
Comment=Edit the channel list of the satellite finder meter and upload it to the meter
Exec=${exec}
Terminal=false
Categories=Utility;
")
