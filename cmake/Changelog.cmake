# The release history is written once, in CHANGELOG.md: a release is a heading
# "## 1.00 (2026-12-07)" and its changes, one "- " item each (continued on
# lines indented by two blanks); "## Unreleased" gathers the next release's
# and is left out of what is made here. Blank lines and the text above the
# first heading are free.
#
# kq71wb_changelog(<file> <version> <maintainer>) sets, in the caller's scope:
#   KQ71WB_RELEASE_DATE        the date of <version>'s release: "2026-12-07"
#   KQ71WB_DEBIAN_CHANGELOG    every release, newest first, as a Debian changelog
#   KQ71WB_APPSTREAM_RELEASES  the same as AppStream <release> elements
# and stops the configuration when <version> has no release there, so that a
# version is never raised without its changes and date.
# Lines are walked with string(FIND), never as CMake lists, which would split
# a change at its semicolons.

# "Mon, 07 Dec 2026 12:00:00 +0000": a release's date as Debian writes it,
# noon UTC (Sakamoto's rule for the day of the week).
function(_kq71wb_debian_date date out)
    string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${date}")
    math(EXPR year "${CMAKE_MATCH_1}")
    math(EXPR month "${CMAKE_MATCH_2}")
    set(day "${CMAKE_MATCH_3}")
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    math(EXPR index "${month} - 1")
    list(GET offsets ${index} offset)
    list(GET months ${index} month_name)
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${y} - 1")
    endif()
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
    set(weekdays Sun Mon Tue Wed Thu Fri Sat)
    list(GET weekdays ${weekday} weekday_name)
    set(${out} "${weekday_name}, ${day} ${month_name} ${year} 12:00:00 +0000" PARENT_SCOPE)
endfunction()

# One change as Debian's changelog lists it: "  * " and the words, wrapped at
# 78 columns under the first.
function(_kq71wb_debian_item text out)
    set(result "")
    set(line "  *")
    string(STRIP "${text}" rest)
    while(NOT rest STREQUAL "")
        string(FIND "${rest}" " " blank)
        if(blank EQUAL -1)
            set(word "${rest}")
            set(rest "")
        else()
            string(SUBSTRING "${rest}" 0 ${blank} word)
            math(EXPR blank "${blank} + 1")
            string(SUBSTRING "${rest}" ${blank} -1 rest)
            string(STRIP "${rest}" rest)
        endif()
        string(LENGTH "${line} ${word}" length)
        if(length GREATER 78 AND NOT line STREQUAL "  *")
            string(APPEND result "${line}\n")
            set(line "   ")
        endif()
        string(APPEND line " ${word}")
    endwhile()
    set(${out} "${result}${line}\n" PARENT_SCOPE)
endfunction()

function(kq71wb_changelog file version maintainer)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} text)
    string(APPEND text "\n## End\n")  # closes the last release
    set(debian "")
    set(appstream "")
    set(release "")  # the version whose changes are being read, or "" outside a release
    set(release_date "")
    set(item "")
    set(items_debian "")
    set(items_appstream "")
    set(line_number 0)
    while(NOT text STREQUAL "")
        string(FIND "${text}" "\n" end)
        string(SUBSTRING "${text}" 0 ${end} line)
        math(EXPR end "${end} + 1")
        string(SUBSTRING "${text}" ${end} -1 text)
        math(EXPR line_number "${line_number} + 1")

        # A change ends at the next item, heading or blank line.
        if(NOT item STREQUAL "" AND NOT line MATCHES "^  +[^ ]")
            string(REPLACE "`" "" plain "${item}")
            string(REPLACE "**" "" plain "${plain}")
            _kq71wb_debian_item("${plain}" entry)
            string(APPEND items_debian "${entry}")
            string(REPLACE "&" "&amp;" escaped "${plain}")
            string(REPLACE "<" "&lt;" escaped "${escaped}")
            string(REPLACE ">" "&gt;" escaped "${escaped}")
            string(APPEND items_appstream "          <li>${escaped}</li>\n")
            set(item "")
        endif()

        if(line MATCHES "^## ")
            if(NOT release STREQUAL "")
                if(items_debian STREQUAL "")
                    message(FATAL_ERROR "${file}: release ${release} lists no change")
                endif()
                _kq71wb_debian_date("${release_date}" stamp)
                string(APPEND debian "kq71wb (${release}) stable; urgency=medium\n\n${items_debian}\n"
                                     " -- ${maintainer}  ${stamp}\n\n")
                string(APPEND appstream "    <release version=\"${release}\" date=\"${release_date}\">\n"
                                        "      <description>\n        <ul>\n${items_appstream}        </ul>\n"
                                        "      </description>\n    </release>\n")
                if(release STREQUAL version)
                    set(KQ71WB_RELEASE_DATE "${release_date}" PARENT_SCOPE)
                    set(found TRUE)
                endif()
            endif()
            set(release "")
            set(items_debian "")
            set(items_appstream "")
            if(line MATCHES "^## ([0-9]+\\.[0-9]+(\\.[0-9]+)?) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
                set(release "${CMAKE_MATCH_1}")
                set(release_date "${CMAKE_MATCH_3}")
            elseif(NOT line MATCHES "^## (Unreleased|End)$")
                message(FATAL_ERROR "${file}:${line_number}: a heading is \"## Unreleased\" or \"## <version> (<yyyy-mm-dd>)\"")
            endif()
        elseif(line MATCHES "^- (.*)$")
            set(item "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^  +([^ ].*)$" AND NOT item STREQUAL "")
            string(APPEND item " ${CMAKE_MATCH_1}")
        endif()
    endwhile()
    if(NOT found)
        message(FATAL_ERROR "${file} has no release \"## ${version} (<yyyy-mm-dd>)\": the version in project() is "
                            "raised together with its changes and date there")
    endif()
    string(STRIP "${debian}" debian)
    set(KQ71WB_DEBIAN_CHANGELOG "${debian}\n" PARENT_SCOPE)
    set(KQ71WB_APPSTREAM_RELEASES "${appstream}" PARENT_SCOPE)
endfunction()
