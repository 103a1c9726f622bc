# Where an installation puts things, below its prefix (Debian's layout with the prefix /usr):
#   bin/velmora                                  the command
#   lib/velmora/libvelmora.so.0                  the library, private to velmora (SONAME versioned)
#   lib/velmora/libvelmora-gui.so                the graphical dialog, loaded only to show it
#   lib/velmora/libvelmora-pdf.so                Poppler's reading of PDFs, loaded when needed
#   lib/velmora/Velmora.plugin/                  the plug-in bundle: shared objects and their data
#   lib/cups/filter/velmora-{command,package}    the press's CUPS filters
#   share/velmora/                               the sample document, MIME types, cupsd policy
#   share/ppd/velmora/VelmoraPress.ppd           the queue PPD, where lpinfo -m lists it
#   share/cups/mime/velmora.types                the job package's MIME type, for the scheduler
#   share/man, share/applications, share/bash-completion
# Every installed binary finds its libraries from its own place ($ORIGIN), so the tree may be
# installed under any prefix, and nothing installed names the build tree.
set(VELMORA_INSTALL_LIB lib/velmora)
set(VELMORA_INSTALL_BUNDLE ${VELMORA_INSTALL_LIB}/Velmora.plugin)
set(VELMORA_INSTALL_FILTERS lib/cups/filter)

set_target_properties(velmora PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
set_target_properties(velmora_app PROPERTIES INSTALL_RPATH "$ORIGIN/../${VELMORA_INSTALL_LIB}")
set_target_properties(velmora_command velmora_package PROPERTIES
    INSTALL_RPATH "$ORIGIN/../../velmora")
set_target_properties(VelmoraFlow PROPERTIES INSTALL_RPATH "$ORIGIN/../../..")
# Velmora.plugin/Contents/PlugIns/NAME.bundle/Contents/Linux/PressPane.so
set_target_properties(PressPane PROPERTIES INSTALL_RPATH "$ORIGIN/../../../../../..")
set_target_properties(encryption PROPERTIES INSTALL_RPATH "")
# Shared objects name the C library they use, even where the linker would find it unneeded.
foreach(object VelmoraFlow encryption)
    target_link_options(${object} PRIVATE -Wl,--no-as-needed)
    target_link_libraries(${object} PRIVATE c)
endforeach()

install(TARGETS velmora LIBRARY DESTINATION ${VELMORA_INSTALL_LIB} NAMELINK_SKIP)
install(TARGETS velmora_app RUNTIME DESTINATION bin)
set_target_properties(velmora_pdf_module PROPERTIES INSTALL_RPATH "")
install(TARGETS velmora_pdf_module LIBRARY DESTINATION ${VELMORA_INSTALL_LIB})
install(TARGETS velmora_command velmora_package RUNTIME DESTINATION ${VELMORA_INSTALL_FILTERS})
if(VELMORA_GUI)
    set_target_properties(velmora_gui_module PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS velmora_gui_module LIBRARY DESTINATION ${VELMORA_INSTALL_LIB})
endif()

# The bundle's data as the build assembled it; its shared objects are installed from their
# targets, so that they carry the installed RUNPATH rather than the build tree's.
install(DIRECTORY ${VELMORA_PLUGIN_DIR}/ DESTINATION ${VELMORA_INSTALL_BUNDLE}
    PATTERN "*.so" EXCLUDE)
install(TARGETS VelmoraFlow LIBRARY DESTINATION ${VELMORA_INSTALL_BUNDLE}/Contents/Linux)
install(TARGETS encryption LIBRARY DESTINATION ${VELMORA_INSTALL_BUNDLE}/Contents/Resources)
file(GLOB pane_folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/panes/*)
foreach(folder ${pane_folders})
    if(IS_DIRECTORY ${folder})
        get_filename_component(pane ${folder} NAME)
        install(TARGETS PressPane LIBRARY
            DESTINATION ${VELMORA_INSTALL_BUNDLE}/Contents/PlugIns/${pane}.bundle/Contents/Linux)
    endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/resources/press/SampleJob.pdf
    ${PROJECT_SOURCE_DIR}/resources/press/velmora.types
    ${PROJECT_SOURCE_DIR}/resources/cups/velmora-operators.policy
    DESTINATION share/velmora)
install(FILES ${CMAKE_BINARY_DIR}/press/VelmoraPress.ppd DESTINATION share/ppd/velmora)
install(FILES ${PROJECT_SOURCE_DIR}/resources/press/velmora.types DESTINATION share/cups/mime)
# The graphical dialog in the desktop's menu: the held jobs, or documents opened with it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/velmora.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/velmora
    DESTINATION share/bash-completion/completions)

# The manual pages, rendered from their Markdown sources by pandoc.
find_program(PANDOC pandoc)
if(PANDOC)
    set(man_pages)
    foreach(page velmora.1 velmora-command.8)
        string(REGEX REPLACE ".*\\." "" section ${page})
        set(rendered ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${rendered}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${PANDOC} -s -t man ${PROJECT_SOURCE_DIR}/docs/${page}.md -o ${CMAKE_BINARY_DIR}/man/${page}
            COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}
            DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page}.md
            COMMENT "Rendering the manual page ${page}")
        list(APPEND man_pages ${rendered})
        install(FILES ${rendered} DESTINATION share/man/man${section})
    endforeach()
    # velmora-package(8) is the page of both filters.
    file(WRITE ${CMAKE_BINARY_DIR}/man/velmora-package.8 ".so man8/velmora-command.8\n")
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/velmora-package.8.gz
        COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/man/velmora-package.8
        DEPENDS ${CMAKE_BINARY_DIR}/man/velmora-package.8)
    list(APPEND man_pages ${CMAKE_BINARY_DIR}/man/velmora-package.8.gz)
    install(FILES ${CMAKE_BINARY_DIR}/man/velmora-package.8.gz DESTINATION share/man/man8)
    add_custom_target(man_pages ALL DEPENDS ${man_pages})
elseif(VELMORA_PACKAGE)
    message(FATAL_ERROR "pandoc renders the manual pages of the package: install pandoc")
endif()
