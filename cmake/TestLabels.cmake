# The label "webengine" marks the tests whose program links QtWebEngine: `ctest -L webengine`
# selects them, `ctest -LE webengine` leaves them out (scripts/sanitize.sh runs them with one
# AddressSanitizer check off).

# Sets out to TRUE when target links a QtWebEngine library, directly or through the libraries
# it links (also those a static library links PRIVATE).
function(qrl_links_webengine target out)
    qrl_link_closure(${target} closure)
    list(FILTER closure INCLUDE REGEX "^Qt6?::WebEngine")
    if(closure)
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
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
