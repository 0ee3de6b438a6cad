# Writes the site's service worker (cmake -P): the template with the list of
# the site's files and a digest of all of them, so that any change to the site
# makes a new worker, and with it a fresh cache.
#   -Dsite=<folder> -Dtemplate=<sw.js> "-Dfiles=index.html;app.js;..."
set(digests "")
set(quoted "")
foreach(file IN LISTS files)
    file(SHA256 "${site}/${file}" digest)
    string(APPEND digests "${digest}")
    if(NOT file STREQUAL "index.html")  # kept once, as './'
        list(APPEND quoted "'${file}'")
    endif()
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING "${digest}" 0 16 KQ71WB_SITE_DIGEST)
list(JOIN quoted ", " KQ71WB_SITE_FILES)
configure_file("${template}" "${site}/sw.js" @ONLY)
