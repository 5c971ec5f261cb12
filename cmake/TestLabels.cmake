# The label "webengine" marks the tests whose program links QtWebEngine: `ctest -L webengine`
# selects them, `ctest -LE webengine` leaves them out (scripts/sanitize.sh runs them with one
# AddressSanitizer check off).

# Sets out to TRUE when target links a QtWebEngine library, directly or through the libraries
# it links (also those a static library links PRIVATE).
function(qrl_links_webengine target out)
    set(seen)
    set(pending ${target})
    set(found FALSE)
    while(pending)
        list(POP_FRONT pending name)
        if(name IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${name})
        if(name MATCHES "^Qt6?::WebEngine")
            set(found TRUE)
            break()
        endif()
        if(NOT TARGET ${name})
            continue()
        endif()
        get_target_property(imported ${name} IMPORTED)
        set(links)
        if(NOT imported)
            get_target_property(direct ${name} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(interface ${name} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        foreach(link IN LISTS links)
            if(link MATCHES "^\\$<LINK_ONLY:([^$<>]+)>$")
                list(APPEND pending ${CMAKE_MATCH_1})
            elseif(NOT link MATCHES "\\$<")
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

function(qrl_label_webengine_now test program)
    qrl_links_webengine(${program} links)
    if(links)
        set_property(TEST ${test} APPEND PROPERTY LABELS webengine)
    endif()
endfunction()

# Labels test (added in the current folder) when program links QtWebEngine. The check runs at
# the end of the folder, once every library of program is linked.
function(qrl_label_webengine_test test program)
    cmake_language(EVAL CODE
        "cmake_language(DEFER CALL qrl_label_webengine_now [[${test}]] [[${program}]])")
endfunction()
