# The layers of the code, checked when the build is configured.
#
# qrl_core_library(name SOURCES...): a display-free library of one folder of src/. Whatever it
# links, directly or through other libraries, must not reach Qt Gui, Qt Widgets or WebEngine;
# configuring fails when it does. Tests that link only such libraries run without a display.
# qrl_widget_library(name SOURCES...): a library of windows of one folder of src/.
# qrl_core_program(name): a program that must stay display-free as well (the qrl tool).
#
# qrl_check_layers() runs the checks once every target is known: the layer rule, one library a
# folder, and the README's Layout table, which must name every library with its folder and the
# project libraries it links, and nothing else.

set(QRL_DISPLAY_TARGETS Qt6::Gui Qt6::Widgets Qt6::WebEngineWidgets Qt6::WebEngineCore
    Qt6::OpenGL Qt6::OpenGLWidgets Qt6::Quick)

function(qrl_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    set_property(GLOBAL APPEND PROPERTY QRL_CORE_TARGETS ${name})
    set_property(GLOBAL APPEND PROPERTY QRL_LIBRARIES ${name})
endfunction()

function(qrl_widget_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    set_property(GLOBAL APPEND PROPERTY QRL_LIBRARIES ${name})
endfunction()

function(qrl_core_program name)
    set_property(GLOBAL APPEND PROPERTY QRL_CORE_TARGETS ${name})
endfunction()

# The targets that target links, directly or not, in the order found; a generator expression
# such as $<LINK_ONLY:X> counts as X.
function(qrl_link_closure target out)
    set(seen)
    set(todo ${target})
    while(todo)
        list(POP_FRONT todo current)
        if(NOT TARGET ${current} OR current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            list(APPEND todo ${aliased})
        endif()
        set(links)
        get_target_property(imported ${current} IMPORTED)
        if(NOT imported)
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(NOT link MATCHES "^\\$<")
                list(APPEND todo ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Whether targets (a list) reach a display library; out gets the first one reached, or nothing.
function(qrl_display_reached targets out)
    set(found "")
    foreach(t IN LISTS targets)
        qrl_link_closure(${t} closure)
        foreach(d IN LISTS QRL_DISPLAY_TARGETS)
            if(d IN_LIST closure AND NOT found)
                set(found "${d}")
            endif()
        endforeach()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(qrl_check_layers)
    get_property(core GLOBAL PROPERTY QRL_CORE_TARGETS)
    foreach(t IN LISTS core)
        qrl_display_reached(${t} reached)
        if(reached)
            message(FATAL_ERROR "${t} is display-free, but what it links reaches ${reached}. Move "
                                "what needs a display into a widget library.")
        endif()
    endforeach()

    # One library a folder, and the README's table as the CMake files say.
    get_property(libraries GLOBAL PROPERTY QRL_LIBRARIES)
    file(STRINGS ${PROJECT_SOURCE_DIR}/README.md rows REGEX "^\\| `qrl_[a-z_]+` \\(`src/")
    set(named)
    set(folders)
    foreach(lib IN LISTS libraries)
        get_target_property(dir ${lib} SOURCE_DIR)
        file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${dir})
        if(folder IN_LIST folders)
            message(FATAL_ERROR "${folder} holds more than one library (${lib} among them)")
        endif()
        list(APPEND folders ${folder})
        get_target_property(links ${lib} LINK_LIBRARIES)
        set(uses)
        foreach(link IN LISTS links)
            if(link MATCHES "^qrl_")
                list(APPEND uses ${link})
            endif()
        endforeach()
        list(SORT uses)
        set(row "")
        foreach(r IN LISTS rows)
            if(r MATCHES "^\\| `${lib}` \\(`${folder}`\\) \\|")
                set(row "${r}")
            endif()
        endforeach()
        if(NOT row)
            message(FATAL_ERROR "README.md: the Layout table has no row "
                                "\"| `${lib}` (`${folder}`) | ...\"")
        endif()
        string(REGEX MATCHALL "`qrl_[a-z_]+`" listed "${row}")
        list(REMOVE_AT listed 0)
        string(REPLACE "`" "" listed "${listed}")
        list(SORT listed)
        if(NOT "${listed}" STREQUAL "${uses}")
            message(FATAL_ERROR "README.md: the Layout row of ${lib} names the libraries "
                                "\"${listed}\", but ${lib} links \"${uses}\"")
        endif()
        list(APPEND named ${lib})
    endforeach()
    foreach(r IN LISTS rows)
        string(REGEX MATCH "^\\| `(qrl_[a-z_]+)`" _ "${r}")
        if(NOT CMAKE_MATCH_1 IN_LIST named)
            message(FATAL_ERROR "README.md: the Layout table names ${CMAKE_MATCH_1}, which is no "
                                "library of the build")
        endif()
    endforeach()
endfunction()
