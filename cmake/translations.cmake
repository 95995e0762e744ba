# The interface's English: translations/quorvan_en.ts is kept in the repository
# and compiled by lrelease into a catalogue built into the program (:/i18n/).
#
# Adding a text: write it in Japanese inside tr() (or QCoreApplication::translate
# outside a QObject), build the target quorvan_lupdate, and translate the new
# entry in translations/quorvan_en.ts.

find_program(QUORVAN_LRELEASE lrelease HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} REQUIRED)
find_program(QUORVAN_LUPDATE lupdate HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})

set(QUORVAN_TS_FILES ${CMAKE_SOURCE_DIR}/translations/quorvan_en.ts)
set(_quorvan_qm_files)
foreach(_ts ${QUORVAN_TS_FILES})
    get_filename_component(_name ${_ts} NAME_WE)
    set(_qm ${CMAKE_CURRENT_BINARY_DIR}/i18n/${_name}.qm)
    add_custom_command(
        OUTPUT ${_qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/i18n
        COMMAND ${QUORVAN_LRELEASE} -silent ${_ts} -qm ${_qm}
        DEPENDS ${_ts}
        COMMENT "Compiling the catalogue ${_name}.qm"
        VERBATIM)
    list(APPEND _quorvan_qm_files ${_qm})
endforeach()

qt_add_resources(quorvan_core quorvan_translations
    PREFIX /i18n
    BASE ${CMAKE_CURRENT_BINARY_DIR}/i18n
    FILES ${_quorvan_qm_files})

if(QUORVAN_LUPDATE)
    # Every text of the program is in src/; entries no longer there are dropped.
    add_custom_target(quorvan_lupdate
        COMMAND ${QUORVAN_LUPDATE} -silent -locations none -no-obsolete
                ${CMAKE_SOURCE_DIR}/src -ts ${QUORVAN_TS_FILES}
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        COMMENT "Updating the catalogues in translations/"
        VERBATIM)
endif()
