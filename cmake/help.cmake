# The help files, made by tools/helpc from docs/help/ as part of the normal build:
#   VITRELL.HLP and VITRELL.CNT (WinHelp 4), and VITRELL.chm (HTML Help, compiled by chmcmd from the HTML Help
#   project helpc writes into help_project/). They lie beside VITRELL.exe, or in help/ of the native build.
# helpc runs on the build machine: in a cross build it is built for the host as a project of its own.
set(VITRELL_HELP_SOURCE ${CMAKE_SOURCE_DIR}/docs/help)
if(WIN32)
    set(VITRELL_HELP_DIR ${CMAKE_BINARY_DIR})
else()
    set(VITRELL_HELP_DIR ${CMAKE_BINARY_DIR}/help)
endif()
set(VITRELL_HELP_PROJECT ${CMAKE_BINARY_DIR}/help_project)

if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(helpc_host_dir ${CMAKE_BINARY_DIR}/helpc_host)
    ExternalProject_Add(helpc_host
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/helpc
        BINARY_DIR ${helpc_host_dir}
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${helpc_host_dir}/helpc)
    set(helpc_command ${helpc_host_dir}/helpc)
    set(helpc_depends helpc_host ${helpc_host_dir}/helpc)
else()
    add_subdirectory(${CMAKE_SOURCE_DIR}/tools/helpc ${CMAKE_BINARY_DIR}/tools/helpc)
    set(helpc_command $<TARGET_FILE:helpc>)
    set(helpc_depends helpc)
endif()

if(NOT EXISTS ${VITRELL_HELP_SOURCE}/contents.txt)
    message(STATUS "Help: no docs/help/contents.txt yet, so no help files are made")
    return()
endif()

file(GLOB vitrell_help_pages CONFIGURE_DEPENDS ${VITRELL_HELP_SOURCE}/*.txt)
set(vitrell_help_files ${VITRELL_HELP_DIR}/VITRELL.HLP ${VITRELL_HELP_DIR}/VITRELL.CNT)
add_custom_command(OUTPUT ${vitrell_help_files} ${VITRELL_HELP_PROJECT}/VITRELL.hhp
                   COMMAND ${helpc_command} ${VITRELL_HELP_SOURCE} ${VITRELL_HELP_DIR} ${VITRELL_HELP_PROJECT}
                   DEPENDS ${vitrell_help_pages} ${helpc_depends}
                   COMMENT "Compiling the help pages")

find_program(VITRELL_CHMCMD chmcmd)
if(VITRELL_CHMCMD)
    # chmcmd writes beside the project; a failed compile leaves no .chm to copy.
    add_custom_command(OUTPUT ${VITRELL_HELP_DIR}/VITRELL.chm
                       COMMAND ${CMAKE_COMMAND} -E remove -f VITRELL.chm
                       COMMAND ${VITRELL_CHMCMD} VITRELL.hhp
                       COMMAND ${CMAKE_COMMAND} -E copy VITRELL.chm ${VITRELL_HELP_DIR}/VITRELL.chm
                       WORKING_DIRECTORY ${VITRELL_HELP_PROJECT}
                       DEPENDS ${VITRELL_HELP_PROJECT}/VITRELL.hhp
                       COMMENT "Compiling VITRELL.chm with chmcmd")
    list(APPEND vitrell_help_files ${VITRELL_HELP_DIR}/VITRELL.chm)
else()
    message(STATUS "Help: chmcmd (Debian fp-utils) not found, so no VITRELL.chm is made")
endif()
add_custom_target(vitrell_help ALL DEPENDS ${vitrell_help_files})

# Visual Studio puts the exe in a folder per configuration: the help follows it there.
get_property(vitrell_multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
if(WIN32 AND vitrell_multi_config)
    add_dependencies(VITRELL vitrell_help)
    add_custom_command(TARGET VITRELL POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${vitrell_help_files} $<TARGET_FILE_DIR:VITRELL>)
endif()
