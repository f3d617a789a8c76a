# Run by `cmake --install` (and cpack): writes the desktop entry for the
# prefix being installed to and installs it. Expects ORBE_APP_ID,
# ORBE_DESKTOP_TEMPLATE, ORBE_DESKTOP_WORK_DIR, ORBE_BINDIR and ORBE_DATADIR.

foreach(kind BIN DATA)
    if(IS_ABSOLUTE "${ORBE_${kind}DIR}")
        set(orbe_${kind}_path "${ORBE_${kind}DIR}")
    else()
        set(orbe_${kind}_path "${CMAKE_INSTALL_PREFIX}/${ORBE_${kind}DIR}")
    endif()
endforeach()
set(ORBE_DESKTOP_PATH "${orbe_DATA_path}/orbe")
set(ORBE_DESKTOP_EXEC "${orbe_BIN_path}/orbe")

# Characters that would need escaping in Exec= or Path=, or that the
# launcher would read as a field code: refuse them rather than write an
# entry that starts the wrong thing.
foreach(path "${ORBE_DESKTOP_EXEC}" "${ORBE_DESKTOP_PATH}")
    if(path MATCHES "[\"`$\\\\%\n\r\t]")
        message(FATAL_ERROR
            "Cannot write the desktop entry: the install path \"${path}\" contains one of "
            "\" ` $ \\ % or a control character. Choose another prefix.")
    endif()
endforeach()
# Blanks and shell characters are allowed inside double quotes.
if(ORBE_DESKTOP_EXEC MATCHES "[ '<>~|&;*?#()]")
    set(ORBE_DESKTOP_EXEC "\"${ORBE_DESKTOP_EXEC}\"")
endif()

# One file per destination, so that parallel installs do not share it.
string(MD5 orbe_destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(orbe_entry "${ORBE_DESKTOP_WORK_DIR}/${orbe_destination}/${ORBE_APP_ID}.desktop")
configure_file("${ORBE_DESKTOP_TEMPLATE}" "${orbe_entry}" @ONLY)

if(IS_ABSOLUTE "${ORBE_DATADIR}")
    set(orbe_applications "${ORBE_DATADIR}/applications")
else()
    set(orbe_applications "${CMAKE_INSTALL_PREFIX}/${ORBE_DATADIR}/applications")
endif()
file(INSTALL DESTINATION "${orbe_applications}" TYPE FILE FILES "${orbe_entry}")
